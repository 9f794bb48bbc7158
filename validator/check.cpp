#include "checker.h"
#include "codes.h"
#include "fileName.h"
#include "fileSource.h"
#include "markedPart.h"
#include "messages.h"
#include "reasonText.h"
#include "reasons.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

tzvParser::Error::Error(std::string_view text, std::string_view code, std::string reason)
    : found { code, std::string(text), std::move(reason) }
{
}

tzvParser::Error::Error(std::string_view leadIn, std::uint32_t line, std::uint32_t column, std::uint64_t offset,
    std::string_view detail, std::string_view code, std::string reason)
    : found { code, {}, std::move(reason), line, column, offset }
{
    std::string& message = found.message;
    message.reserve(leadIn.size() + detail.size() + 40);
    message.append(leadIn).append(" Zeile ").append(std::to_string(line));
    message.append(", Spalte ").append(std::to_string(column)).append(" ").append(detail);
}

namespace kavrin {

source source::file(std::string name) { return { kind::file, std::move(name), {}, 0 }; }

source source::bytes(std::string_view bytes, std::uint64_t wholeSize) { return { kind::bytes, {}, bytes, wholeSize }; }

source source::namedBytes(std::string name, std::string_view bytes, std::uint64_t wholeSize)
{
    return { kind::namedBytes, std::move(name), bytes, wholeSize };
}

source source::unreadable(std::string name) { return { kind::unreadable, std::move(name), {}, 0 }; }

source source::standardInput() { return { kind::standardInput, {}, {}, 0 }; }

namespace {

    using Error = tzvParser::Error;

    std::optional<Error> nameError(std::string& name)
    {
        if (name.empty())
            return Error(messages::noFile, codes::noFileName, reasons::noFileName());
        removeSurroundingQuotes(name);
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".tzv") != 0)
            return Error(messages::badName, codes::wrongFileName, reasons::wrongFileName(name));
        return std::nullopt;
    }

    Error cannotOpen(fileSource::failure problem, int error)
    {
        return Error(messages::cannotOpen, codes::cannotOpen, reasons::cannotOpen(problem, error));
    }

    result refused(Error fault, std::string openedName)
    {
        result out;
        fault.found.reason = reasons::withinALine(std::move(fault.found.reason));
        out.violations.push_back(std::move(fault.found));
        out.openedName = std::move(openedName);
        return out;
    }

} // namespace

namespace detail {

    std::optional<violation> faultOfName(std::string& name)
    {
        std::optional<Error> fault = nameError(name);
        if (!fault)
            return std::nullopt;
        fault->found.reason = reasons::withinALine(std::move(fault->found.reason));
        return std::move(fault->found);
    }

} // namespace detail

result check(const source& what, const options& how) { return detail::checkCollecting(what, how, nullptr); }

result detail::checkCollecting(const source& what, const options& how, ticketFile* collected)
{
    std::string name = what.name;
    const bool named = what.what != source::kind::bytes && what.what != source::kind::standardInput;
    if (named && what.nameRules) {
        if (std::optional<Error> fault = nameError(name))
            return refused(std::move(*fault), name);
    } else {
        removeSurroundingQuotes(name);
    }
    if (what.what == source::kind::unreadable)
        return refused(cannotOpen(fileSource::failure::unreadable, 0), name);

    std::shared_ptr<const char[]> owned;
    std::string_view bytes = what.given;
    std::uint64_t size = std::max<std::uint64_t>(what.wholeSize, bytes.size());
    if (what.what == source::kind::file || what.what == source::kind::standardInput) {
        fileSource::loaded read = what.what == source::kind::file ? fileSource::load(name, maximumFileSize)
                                                                  : fileSource::loadStandardInput(maximumFileSize);
        if (read.problem != fileSource::failure::none)
            return refused(cannotOpen(read.problem, read.error), name);
        owned = std::move(read.bytes);
        bytes = std::string_view(owned.get(), read.length);
        size = read.size;
    }

    detail::checker run(bytes, how.readBuffer);
    run.maxViolations = std::max<std::size_t>(how.maxViolations, 1);
    run.collected = collected;
    if (how.contentRules || size > maximumFileSize)
        run.checkInput(size);
    result out;
    out.violations = std::move(run.violations);
    out.violationsCut = run.violationsCut;
    out.summary = std::move(run.summary);
    out.openedName = std::move(name);
    if (how.keepInput) {
        if (!owned) {
            std::unique_ptr<char[]> copy(new char[bytes.size()]);
            std::copy(bytes.begin(), bytes.end(), copy.get());
            owned = std::move(copy);
        }
        out.input = sharedBytes(std::move(owned), bytes.size());
    }
    return out;
}

} // namespace kavrin

tzvParser::tzvParser(std::size_t bufferSize)
    : bufferSize(bufferSize)
{
}

const std::string& tzvParser::take(const kavrin::source& what)
{
    kavrin::result found = kavrin::check(what, { maxViolations, false, bufferSize });
    violations = std::move(found.violations);
    violationsCut = found.violationsCut;
    summary = std::move(found.summary);
    openedName = std::move(found.openedName);
    const kavrin::violation none;
    const kavrin::violation& first = violations.empty() ? none : violations.front();
    message = first.message;
    errorLine = first.line;
    errorColumn = first.column;
    code = first.code;
    reason = first.reason;
    return message;
}

const std::string& tzvParser::check()
{
    take(kavrin::source::file(fileName));
    // The name is used without its quotes from here on, as it was opened.
    kavrin::removeSurroundingQuotes(fileName);
    return message;
}

const std::string& tzvParser::checkBytes(std::string_view bytes, std::uint64_t wholeSize)
{
    return take(kavrin::source::bytes(bytes, wholeSize));
}

const std::string& tzvParser::checkFileBytes(std::string_view bytes, std::uint64_t wholeSize)
{
    take(kavrin::source::namedBytes(fileName, bytes, wholeSize));
    kavrin::removeSurroundingQuotes(fileName);
    return message;
}

const std::string& tzvParser::checkUnreadable()
{
    take(kavrin::source::unreadable(fileName));
    kavrin::removeSurroundingQuotes(fileName);
    return message;
}

namespace kavrin::detail {

checker::checker(std::string_view bytes, std::size_t bufferSize)
    : sourceBytes(bytes)
    , input(std::min<std::size_t>(bufferSize, bytes.size() + 1))
{
    input.openBytes(bytes, maximumFileSize);
}

void checker::checkInput(std::uint64_t size)
{
    namespace text = kavrin::messages;
    try {
        if (size > maximumFileSize)
            throw Error(text::sizeOrCount, kavrin::codes::fileTooLarge,
                kavrin::reasons::fileTooLarge(size, maximumFileSize, size != source::unknownSize));
        checkFirstBytes();
        readDocument(column - 1);
    } catch (const Error& violation) {
        if (violations.size() < maxViolations)
            record(violation);
        else
            violationsCut = true;
    } catch (const stopChecking&) {
    }
    // A rule of the header is checked after values that follow it in the
    // file: the violations after the first stand in file order.
    if (violations.size() > 2)
        std::stable_sort(violations.begin() + 1, violations.end(),
            [](const kavrin::violation& a, const kavrin::violation& b) { return a.offset < b.offset; });
    input.close();
}

void checker::record(Error violation)
{
    kavrin::violation& found = violation.found;
    if (violation.mayEndEarly && !input.fill())
        sayWhereTheInputEnded(found);
    found.reason = kavrin::reasons::withinALine(std::move(found.reason));
    if (found.line != 0)
        measureMarkedPart(found);
    violations.push_back(std::move(found));
}

void checker::keep(Error violation)
{
    if (maxViolations <= 1 || !codes::continuesAfter(violation.found.code))
        throw violation;
    if (violations.size() >= maxViolations) {
        violationsCut = true;
        throw stopChecking {};
    }
    record(std::move(violation));
}

// A fault met where the input ended follows from that end: a byte 0x1A that
// ends the input before the rest of the file, or the file's own end.
void checker::sayWhereTheInputEnded(kavrin::violation& found)
{
    namespace reasons = kavrin::reasons;
    constexpr std::size_t longestReason = 140;
    const std::uint64_t bytesAfter = input.bytesAfterEndOfText();
    const std::string cause
        = bytesAfter > 0 ? reasons::endedByEndOfText(line, column, bytesAfter) : reasons::endsEarly(line, column);
    if (found.code == kavrin::codes::unexpectedEnd || found.code == kavrin::codes::unclosedTag) {
        if (bytesAfter > 0)
            found.reason = (found.code == kavrin::codes::unclosedTag
                                   ? "Das Tag " + reasons::tagStart(currentTag, 16) + " ist offen: "
                                   : std::string("Vor </uvra> endet die Datei: "))
                + cause;
        return;
    }
    const std::string joined = found.reason + " " + cause;
    found.reason = kavrin::utf8::characters(joined) <= longestReason
        ? joined
        : reasons::element(currentTag) + " ist abgeschnitten: " + cause;
}

// How many input bytes the part a violation marks covers, read again from
// its place, once the check has stopped.
void checker::measureMarkedPart(kavrin::violation& found)
{
    // A place past the end of its line stands at the line's end and marks
    // nothing there, as the excerpt finds nothing at it.
    if (found.line == tokenLine && found.offset - tokenLineOffset < found.column - 1u)
        return;
    kavrin::textReader& part = markedPartReader;
    part.openBytes(sourceBytes, maximumFileSize);
    part.seek(found.offset);
    std::uint64_t end = found.offset;
    kavrin::readMarkedPart(part, [&](int, bool) { end = part.offsetOf(part.next() - 1) + 1; });
    found.length = end - found.offset;
    part.close();
}

std::uint64_t checker::offsetInToken(std::string_view text, std::size_t at, std::uint32_t textColumn) const
{
    return tokenLineOffset + (textColumn - 1) + std::min(at, text.substr(0, at).find('\n'));
}

// Refuses what cannot start a UTF-8 or ASCII file and takes a byte-order mark,
// which counts three columns.
void checker::checkFirstBytes()
{
    const int first = input.peek();
    const auto bom = [](std::size_t i) { return static_cast<unsigned char>(kavrin::utf8::byteOrderMark[i]); };
    const bool wrong = first == kavrin::textReader::endOfInput || first == 0xFE || first == 0xFF || first == 0x00;
    if (!wrong && first != bom(0))
        return;
    const int a = input.get();
    const int b = input.get();
    const int c = input.get();
    if (!wrong && b == bom(1) && c == bom(2)) {
        column += 3;
        return;
    }
    throw Error(kavrin::messages::encoding, kavrin::codes::wrongFirstBytes,
        kavrin::reasons::wrongFirstBytes(a, b, c, input.peek(), input.fileSize()));
}

} // namespace kavrin::detail
