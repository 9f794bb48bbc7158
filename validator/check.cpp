#include "codes.h"
#include "fileName.h"
#include "markedPart.h"
#include "messages.h"
#include "reasonText.h"
#include "reasons.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
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

tzvParser::tzvParser() = default;

tzvParser::tzvParser(std::size_t bufferSize)
    : input(bufferSize)
{
}

void tzvParser::reset()
{
    line = column = tokenLine = tokenColumn = 1;
    lineOffset = tokenLineOffset = 0;
    violations.clear();
    openedName.clear();
    sourceBytes.reset();
    documentStarted = afterComment = false;
    textEnd = UINT64_MAX;
    // A reused object must not let an earlier input's tag or text into a
    // reason.
    currentTag.clear();
    currentText.clear();
    seenOptional = 0;
    violationsCut = false;
    summary = {};
    versionText.clear();
    majorVersion = minorVersion = 0;
    message.clear();
    // A reused object must not carry the place of an earlier violation into
    // an outcome that has none.
    errorLine = errorColumn = 0;
    code.clear();
    reason.clear();
    input.close();
}

void tzvParser::checkName()
{
    namespace text = kavrin::messages;
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    if (fileName.empty())
        throw Error(text::noFile, codes::noFileName, reasons::noFileName());
    kavrin::removeSurroundingQuotes(fileName);
    openedName = fileName;
    if (fileName.size() < 5 || fileName.compare(fileName.size() - 4, 4, ".tzv") != 0)
        throw Error(text::badName, codes::wrongFileName, reasons::wrongFileName(fileName));
}

const std::string& tzvParser::check()
{
    reset();
    try {
        checkName();
        if (!input.open(fileName, maximumFileSize))
            throw Error(kavrin::messages::cannotOpen, kavrin::codes::cannotOpen,
                kavrin::reasons::cannotOpen(input.failure(), input.failureErrno()));
    } catch (const Error& violation) {
        record(violation);
        return message;
    }
    return checkInput(input.fileSize());
}

const std::string& tzvParser::checkFileBytes(std::string_view bytes, std::uint64_t wholeSize)
{
    reset();
    try {
        checkName();
    } catch (const Error& violation) {
        record(violation);
        return message;
    }
    sourceBytes = bytes;
    input.openBytes(bytes, maximumFileSize);
    return checkInput(std::max<std::uint64_t>(wholeSize, bytes.size()));
}

const std::string& tzvParser::checkUnreadable()
{
    reset();
    try {
        checkName();
        throw Error(kavrin::messages::cannotOpen, kavrin::codes::cannotOpen,
            kavrin::reasons::cannotOpen(kavrin::textReader::openFailure::unreadable, 0));
    } catch (const Error& violation) {
        record(violation);
    }
    return message;
}

const std::string& tzvParser::checkBytes(std::string_view bytes, std::uint64_t wholeSize)
{
    reset();
    sourceBytes = bytes;
    input.openBytes(bytes, maximumFileSize);
    return checkInput(std::max<std::uint64_t>(wholeSize, bytes.size()));
}

const std::string& tzvParser::checkInput(std::uint64_t size)
{
    namespace text = kavrin::messages;
    try {
        if (size > maximumFileSize)
            throw Error(text::sizeOrCount, kavrin::codes::fileTooLarge,
                kavrin::reasons::fileTooLarge(size, maximumFileSize, size != unknownSize));
        checkFirstBytes();
        readDocument(column - 1);
    } catch (const Error& violation) {
        if (violations.size() < std::max<std::size_t>(maxViolations, 1))
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
    return message;
}

void tzvParser::record(Error violation)
{
    kavrin::violation& found = violation.found;
    if (violation.mayEndEarly && !input.fill())
        sayWhereTheInputEnded(found);
    found.reason = kavrin::reasons::withinALine(std::move(found.reason));
    if (found.line != 0)
        measureMarkedPart(found);
    if (violations.empty()) {
        message = found.message;
        errorLine = found.line;
        errorColumn = found.column;
        code = found.code;
        reason = found.reason;
    }
    violations.push_back(std::move(found));
}

void tzvParser::keep(Error violation)
{
    if (maxViolations <= 1)
        throw violation;
    if (violations.size() >= maxViolations) {
        violationsCut = true;
        throw stopChecking {};
    }
    record(std::move(violation));
}

// Opens a second reader on the checked input, at an input offset.
bool tzvParser::openSourceAt(kavrin::textReader& reader, std::uint64_t offset)
{
    if (sourceBytes)
        reader.openBytes(*sourceBytes, maximumFileSize);
    else if (!reader.open(openedName, maximumFileSize))
        return false;
    reader.seek(offset);
    return true;
}

// A fault met where the input ended follows from that end: a byte 0x1A that
// ends the input before the rest of the file, or the file's own end.
void tzvParser::sayWhereTheInputEnded(kavrin::violation& found)
{
    namespace reasons = kavrin::reasons;
    constexpr std::size_t longestReason = 140;
    const std::uint64_t bytesAfter = input.bytesAfterEndOfText();
    const std::string cause
        = bytesAfter > 0 ? reasons::endedByEndOfText(line, column, bytesAfter) : reasons::endsEarly(line, column);
    if (found.code == kavrin::codes::unexpectedEnd || found.code == kavrin::codes::unclosedTag) {
        if (bytesAfter > 0)
            found.reason = (found.code == kavrin::codes::unclosedTag
                                   ? "Das Tag " + reasons::quotedStart("<" + currentTag, 16) + " ist offen: "
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
void tzvParser::measureMarkedPart(kavrin::violation& found)
{
    // A place past the end of its line stands at the line's end and marks
    // nothing there, as the excerpt finds nothing at it.
    if (found.line == tokenLine && found.offset - tokenLineOffset < found.column - 1u)
        return;
    kavrin::textReader& part = markedPartReader;
    if (!openSourceAt(part, found.offset))
        return;
    std::uint64_t end = found.offset;
    kavrin::readMarkedPart(part, [&](int, bool) { end = part.offsetOf(part.next() - 1) + 1; });
    found.length = end - found.offset;
    part.close();
}

std::uint64_t tzvParser::offsetInToken(std::string_view text, std::size_t at, std::uint32_t textColumn) const
{
    return tokenLineOffset + (textColumn - 1) + std::min(at, text.substr(0, at).find('\n'));
}

// Refuses what cannot start a UTF-8 or ASCII file and takes a byte-order mark,
// which counts three columns.
void tzvParser::checkFirstBytes()
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
        kavrin::reasons::wrongFirstBytes(a, b, c, input.fileSize()));
}
