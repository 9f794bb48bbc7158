#include "checker.h"
#include "codes.h"
#include "format.h"
#include "layout.h"
#include "messages.h"
#include "reasons.h"
#include "utf8.h"

#include <vector>

namespace {

struct stopSet {
    bool bytes[256] = {};
    constexpr stopSet(unsigned char a, unsigned char b)
    {
        bytes[a] = bytes[b] = true;
        bytes[static_cast<unsigned char>('\n')] = true; // every run counts its lines
    }
};

constexpr stopSet tagStops('>', '\0');
constexpr stopSet textStops('<', '\0');

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

// Appends the bytes up to the first stop byte to `into`, keeping line and
// column; returns the stop byte, left unread, or the end of input.
int kavrin::detail::checker::collectUntil(const bool (&stops)[256], std::string& into)
{
    while (input.fill()) {
        const unsigned char* from = input.next();
        const unsigned char* stop = input.limit();
        const unsigned char* p = from;
        // Four bytes a step: comments and long values are most of a file.
        const auto stopsAt = [&stops](const unsigned char* at) -> unsigned { return stops[*at]; };
        while (stop - p >= 4 && (stopsAt(p) | stopsAt(p + 1) | stopsAt(p + 2) | stopsAt(p + 3)) == 0)
            p += 4;
        while (p < stop && !stops[*p])
            ++p;
        into.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(p - from));
        column += static_cast<std::uint32_t>(p - from);
        if (p == stop) {
            input.advance(p);
            continue;
        }
        if (*p != '\n') {
            input.advance(p);
            return *p;
        }
        into.push_back('\n');
        ++line;
        column = 1;
        lineOffset = input.offsetOf(p) + 1;
        input.advance(p + 1);
    }
    return kavrin::textReader::endOfInput;
}

void kavrin::detail::checker::readMarkup()
{
    namespace text = kavrin::messages;
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    currentTag.clear();
    skipWhitespace();
    if (!input.fill())
        throw cut(Error(text::leadIn, line, column, lineOffset + column - 1, text::unclosedDetail, codes::unexpectedEnd,
            reasons::unexpectedEnd(line, !documentStarted, stillOpen())));
    if (const int first = readChar(); first != '<')
        failOutsideElement(first);
    switch (collectUntil(tagStops.bytes, currentTag)) {
    case '>':
        readChar();
        return;
    case '\0':
        throw Error(text::encoding, codes::nulByte, reasons::nulByte({}, line, column, nulRunAhead()));
    default:
        throw cut(Error(text::leadIn, line, column, lineOffset + column - 1, text::unclosedDetail, codes::unclosedTag,
            reasons::unclosedTag(currentTag)));
    }
}

// Text where a tag must begin: reported at that character, with a few of the
// bytes that follow as the reason's found value.
void kavrin::detail::checker::failOutsideElement(int first)
{
    throw Error(kavrin::messages::leadIn, line, column - 1, lineOffset + column - 2, kavrin::messages::markupDetail,
        kavrin::codes::textOutsideElement,
        kavrin::reasons::textOutsideElement(foundRun(first, true), afterComment ? elementOfText() : ""));
}

void kavrin::detail::checker::nextTag()
{
    readMarkup();
    if (isComment())
        skipComments();
}

void kavrin::detail::checker::skipComments()
{
    // The comment stands right where an element's text ended: inside it.
    afterComment = tokenLineOffset + tokenColumn - 1 == textEnd;
    do
        readMarkup();
    while (isComment());
    afterComment = false;
}

// The element whose start tag stands right before the last text read, read
// back from the input; empty after an end tag.
std::string_view kavrin::detail::checker::elementOfText() const
{
    if (textStart == 0 || textStart > sourceBytes.size() || sourceBytes[textStart - 1] != '>')
        return {};
    const std::size_t open = sourceBytes.rfind('<', textStart - 1);
    if (open == std::string_view::npos || sourceBytes[open + 1] == '/')
        return {};
    return sourceBytes.substr(open + 1, textStart - open - 2);
}

// Whether a comment follows the text just read and text follows the comment:
// a value split by a comment, or written after one. Read beside the check.
// The element's text ends where a CDATA section begins, which the format
// does not know: the value is in it.
bool kavrin::detail::checker::cdataAfterText()
{
    const std::uint64_t at = input.offsetOf(input.next());
    return at < sourceBytes.size() && kavrin::utf8::holdsAt(sourceBytes, at, kavrin::layout::cdataOpen);
}

bool kavrin::detail::checker::commentThenText()
{
    kavrin::textReader& ahead = markedPartReader;
    ahead.openBytes(sourceBytes, maximumFileSize);
    ahead.seek(input.offsetOf(input.next()));
    bool comment = false;
    std::string item;
    for (int next = ahead.get();; next = ahead.get()) {
        while (next == ' ' || next == '\t' || next == '\r' || next == '\n')
            next = ahead.get();
        if (next != '<') {
            ahead.close();
            return comment && next != kavrin::textReader::endOfInput;
        }
        item.clear();
        for (next = ahead.get(); next != '>' && next != kavrin::textReader::endOfInput; next = ahead.get())
            item.push_back(static_cast<char>(next));
        comment = startsWith(item, "!--") && item.compare(item.size() - 2, 2, "--") == 0;
        if (!comment) {
            ahead.close();
            return false;
        }
    }
}

// Every element that may stand where name is expected, in the order the
// format has them: what may follow the child read last, up to name.
std::vector<std::string_view> kavrin::detail::checker::allowedAt(std::string_view name) const
{
    std::vector<std::string_view> allowed;
    if (depth > 0) {
        const openElement& in = open[depth - 1];
        bool after = in.lastChild == nullptr;
        for (const format::element& e : format::elements) {
            if (e.parent != in.row->name || !format::belongsTo(e, gameType))
                continue;
            const bool last = &e == in.lastChild;
            if (!after && !last)
                continue;
            after = true;
            const std::uint32_t had = last ? in.lastChildCount : 0;
            if (e.name == name)
                break;
            if (had < e.maxOccurs)
                allowed.push_back(e.name);
            if (had < e.minOccurs)
                break;
        }
    }
    allowed.push_back(name);
    return allowed;
}

// The elements not yet closed, the innermost first.
std::vector<std::string_view> kavrin::detail::checker::stillOpen() const
{
    std::vector<std::string_view> names;
    if (openValue != nullptr)
        names.push_back(openValue->name);
    for (std::size_t i = depth; i > 0; --i)
        names.push_back(open[i - 1].row->name);
    return names;
}

// Where the found element stands among the children of the element the walk
// is in, for a reason that says what to move, delete or add.
kavrin::reasons::elementOrder kavrin::detail::checker::orderAt(std::string_view expected) const
{
    kavrin::reasons::elementOrder order;
    if (depth == 0)
        return order;
    const openElement& in = open[depth - 1];
    order.in = in.row->name;
    order.previous = in.lastChild != nullptr ? in.lastChild->name : in.row->name;
    const std::string_view found = kavrin::utf8::trimmed(currentTag);
    const format::element* row = format::find(found);
    if (row == nullptr || !format::belongsTo(*row, gameType))
        return order;
    if (row->parent == in.row->parent && expected.front() == '/') {
        order.closesIn = true;
        return order;
    }
    if (row->parent != in.row->name)
        return order;
    order.duplicate = row == in.lastChild && in.lastChildCount >= row->maxOccurs;
    bool expectedSeen = false;
    bool foundSeen = false;
    for (const format::element& e : format::elements) {
        if (e.parent != in.row->name || !format::belongsTo(e, gameType))
            continue;
        expectedSeen = expectedSeen || e.name == expected;
        if (&e == row)
            order.skipsRequired = expectedSeen && e.name != expected;
        else if (foundSeen && order.belongsBefore.empty() && (in.childrenRead & format::bitOf(e)) != 0)
            order.belongsBefore = e.name;
        foundSeen = foundSeen || &e == row;
    }
    return order;
}

// The NUL bytes from the next one on: how many stand in a row, and whether
// every second byte is 0x00, as text saved as UTF-16 has it. Read beside the
// check, so that where the input is cut into chunks never shows.
kavrin::reasons::nulRun kavrin::detail::checker::nulRunAhead()
{
    kavrin::textReader& ahead = markedPartReader;
    ahead.openBytes(sourceBytes, maximumFileSize);
    ahead.seek(input.offsetOf(input.next()));
    kavrin::reasons::nulRun run { 0, false };
    int next = ahead.get();
    for (; next == 0; next = ahead.get())
        ++run.length;
    run.everySecondByte = run.length == 1 && next > 0 && next < 0x80 && ahead.get() == 0;
    ahead.close();
    return run;
}

// "!--" and "--" may overlap: "!--" and "!---" are comments too.
bool kavrin::detail::checker::isComment() const
{
    return startsWith(currentTag, "!--") && currentTag.compare(currentTag.size() - 2, 2, "--") == 0;
}

void kavrin::detail::checker::readText()
{
    currentText.clear();
    tokenLine = line;
    tokenColumn = column;
    tokenLineOffset = lineOffset;
    textStart = lineOffset + column - 1;
    const int stop = collectUntil(textStops.bytes, currentText);
    textEnd = lineOffset + column - 1;
    if (stop == '\0')
        throw Error(kavrin::messages::encoding, kavrin::codes::nulByte,
            kavrin::reasons::nulByte(currentTag, line, column, nulRunAhead()));
}

void kavrin::detail::checker::expectTag(std::string_view name) const
{
    if (currentTag != name)
        failExpected(name, name.front() == '/' ? tagFault::missingEndTag : tagFault::unexpectedElement);
}

void kavrin::detail::checker::expectMatchingTag(std::string_view name) const
{
    if (currentTag == name)
        return;
    const bool endTagForEndTag = name.front() == '/' && startsWith(currentTag, "/");
    failExpected(name, endTagForEndTag ? tagFault::missingEndTag : tagFault::unexpectedElement);
}

void kavrin::detail::checker::failEnd() const
{
    failExpected("/" + std::string(openValue->name), tagFault::missingEndTag);
}

void kavrin::detail::checker::expectMatchingEnd() const
{
    if (!atEndOf(*open[depth - 1].row))
        failExpected("/" + std::string(open[depth - 1].row->name),
            startsWith(currentTag, "/") ? tagFault::missingEndTag : tagFault::unexpectedElement);
}

void kavrin::detail::checker::failExpected(std::string_view name, tagFault fault) const
{
    // Each kind of fault with its detail text and code.
    struct kind {
        std::string_view detail;
        std::string_view code;
    };
    static constexpr kind kinds[] = {
        { kavrin::messages::elementDetail, kavrin::codes::unexpectedElement },
        { kavrin::messages::unclosedDetail, kavrin::codes::missingEndTag },
    };
    const kind& chosen = kinds[static_cast<int>(fault)];
    failAtItem(chosen.detail, chosen.code, [&] {
        if (fault == tagFault::missingEndTag)
            return kavrin::reasons::unexpectedElement(name, { name }, currentTag, {});
        return kavrin::reasons::unexpectedElement(name, allowedAt(name), currentTag, orderAt(name));
    });
}

void kavrin::detail::checker::throwAtItem(std::string_view detail, std::string_view code, std::string reason) const
{
    throw Error(kavrin::messages::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn), detail, code,
        std::move(reason));
}

void kavrin::detail::checker::raise(kavrin::rules::valueFault fault)
{
    if (commentThenText())
        fault.reason = kavrin::reasons::commentInValue(currentTag);
    else if (cdataAfterText())
        fault.reason = kavrin::reasons::cdataInValue(currentTag);
    keep(cut(Error(kavrin::messages::leadIn, tokenLine, tokenColumn + static_cast<std::uint32_t>(fault.offset),
        offsetInToken(currentText, fault.offset, tokenColumn), kavrin::messages::contentDetail, fault.code,
        std::move(fault.reason))));
}

tzvParser::Error kavrin::detail::checker::cut(Error violation)
{
    violation.mayEndEarly = true;
    return violation;
}

void kavrin::detail::checker::raiseAt(
    std::uint32_t atLine, std::uint32_t atColumn, std::uint64_t atOffset, kavrin::rules::valueFault fault)
{
    keep(Error(kavrin::messages::leadIn, atLine, atColumn, atOffset, kavrin::messages::contentDetail, fault.code,
        std::move(fault.reason)));
}
