#include "errorExcerpt.h"

#include "markedPart.h"
#include "textReader.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace {

// Lines that can no longer be shown are dropped from the prefix once it
// holds this much, so it never holds more than the last few lines.
constexpr std::size_t trimThreshold = 64 * 1024;

bool endsWith(const std::string& text, char c) { return !text.empty() && text.back() == c; }

} // namespace

errorExcerpt::errorExcerpt(std::string_view bytes, std::size_t bufferSize)
    : bytes(bytes)
    , bufferSize(bufferSize)
{
}

void errorExcerpt::extract(std::uint32_t errorLine, std::uint32_t errorColumn)
{
    extractFrom(errorLine, errorColumn, 0, walk {}, UINT64_MAX);
}

void errorExcerpt::extractNear(std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t offset)
{
    if (offset > bytes.size())
        return extract(errorLine, errorColumn);
    // Back over the line feeds that end the lines shown before the place's
    // line, and one more: there the first shown line starts. No further back
    // than nearReach: there a long line is cut.
    const std::uint64_t floor = offset > nearReach ? offset - nearReach : 0;
    std::uint64_t start = offset;
    std::uint32_t feeds = 0;
    while (start > floor && !(bytes[start - 1] == '\n' && ++feeds > contextLines))
        --start;
    if (start == 0)
        return extractFrom(errorLine, errorColumn, 0, walk {}, nearReach);
    walk at { errorLine - std::min(feeds, contextLines), 1 };
    const bool cutLine = feeds <= contextLines;
    if (cutLine) {
        // A character is never cut.
        for (int k = 0;
             k < 3 && start < offset && kavrin::utf8::isContinuation(static_cast<unsigned char>(bytes[start])); ++k)
            ++start;
        // Columns count bytes on their line; on line 1 from its first.
        if (at.line == errorLine) {
            if (errorColumn <= offset - start)
                return extract(errorLine, errorColumn);
            at.column = static_cast<std::uint32_t>(errorColumn - (offset - start));
        } else if (at.line == 1) {
            at.column = static_cast<std::uint32_t>(start + 1);
        }
    }
    extractFrom(errorLine, errorColumn, start, at, nearReach);
    if (cutLine)
        before.insert(0, cutMark);
}

void errorExcerpt::extractFrom(
    std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t startOffset, walk start, std::uint64_t afterLimit)
{
    before.clear();
    marked.clear();
    after.clear();
    firstLine = endLine = 1;
    markedInputBytes = 0;
    cut = false;
    // Near a place a few KiB are read: a chunk of their size, not a large one
    // to fill for every excerpt.
    kavrin::textReader input(afterLimit == UINT64_MAX ? bufferSize : std::min<std::size_t>(bufferSize, nearReach));
    input.openBytes(bytes, tzvParser::maximumFileSize);
    input.seek(startOffset);
    walk position = start;
    readUpTo(input, position, errorLine, errorColumn);
    const std::uint32_t stopLine = position.line;
    takeLinesBefore(stopLine, start.line);
    if (readMarked(input, position))
        return;
    readAfter(input, position, stopLine, afterLimit);
}

// Reads up to the reported place into prefix, a byte-order mark as three
// blanks so that the columns after it stay, each line feed as CR LF.
void errorExcerpt::readUpTo(kavrin::textReader& input, walk& at, std::uint32_t errorLine, std::uint32_t errorColumn)
{
    prefix.clear();
    // Ends of the last contextLines + 1 lines in prefix: the start of the
    // first shown line lies just after the oldest of them.
    std::array<std::size_t, 4> lineEnds {};
    std::size_t lineEndCount = 0;
    const auto takeLineFeed = [&] {
        if (!endsWith(prefix, '\r'))
            prefix.push_back('\r');
        prefix.push_back('\n');
        lineEnds[lineEndCount++ % lineEnds.size()] = prefix.size();
        ++at.line;
        at.column = 1;
        if (lineEndCount > lineEnds.size() && prefix.size() > trimThreshold) {
            const std::size_t keepFrom = lineEnds[lineEndCount % lineEnds.size()];
            if (keepFrom > prefix.size() / 2) {
                prefix.erase(0, keepFrom);
                for (std::size_t& end : lineEnds)
                    end -= std::min(end, keepFrom);
            }
        }
    };
    while (!(at.line == errorLine && at.column == errorColumn) && input.fill()) {
        const unsigned char* from = input.next();
        if (at.line == 1 && at.column <= 3) {
            const unsigned char byte = *from;
            input.advance(from + 1);
            if (byte == '\n') {
                takeLineFeed();
                continue;
            }
            const bool byteOrderMark = byte == static_cast<unsigned char>(kavrin::utf8::byteOrderMark[at.column - 1]);
            prefix.push_back(byteOrderMark ? ' ' : static_cast<char>(byte));
            ++at.column;
            continue;
        }
        // A run up to the next line feed, and on the error line no further
        // than the place.
        auto available = static_cast<std::size_t>(input.limit() - from);
        if (at.line == errorLine && at.column < errorColumn)
            available = std::min<std::size_t>(available, errorColumn - at.column);
        const auto* lineFeed = static_cast<const unsigned char*>(std::memchr(from, '\n', available));
        const unsigned char* runEnd = lineFeed != nullptr ? lineFeed : from + available;
        prefix.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(runEnd - from));
        at.column += static_cast<std::uint32_t>(runEnd - from);
        input.advance(runEnd);
        if (lineFeed != nullptr) {
            input.advance(lineFeed + 1);
            takeLineFeed();
        }
    }
}

// The context lines before the place: from the start of the line
// contextLines above the place's line, or of the first line read.
void errorExcerpt::takeLinesBefore(std::uint32_t stopLine, std::uint32_t firstLineRead)
{
    if (prefix.empty())
        return;
    firstLine = stopLine > contextLines ? stopLine - contextLines : 1;
    std::size_t start = prefix.size();
    std::size_t found = 0;
    for (std::uint32_t search = 0; search <= contextLines; ++search) {
        const std::size_t lf = start == 0 ? std::string::npos : prefix.rfind('\n', start - 1);
        if (lf == std::string::npos) {
            found = 0;
            firstLine = firstLineRead;
            break;
        }
        found = lf + 1;
        start = lf;
    }
    before.assign(prefix, found);
}

// The marked part, CR LF for its line feeds. True when it was cut: the
// excerpt then ends in "...".
bool errorExcerpt::readMarked(kavrin::textReader& input, walk& at)
{
    const auto breakLine = [this] {
        if (!marked.empty() && !endsWith(marked, '\r'))
            marked.push_back('\r');
    };
    const kavrin::markedPartEnd end = kavrin::readMarkedPart(input, [&](int byte, bool lineBreak) {
        if (lineBreak)
            breakLine();
        marked.push_back(static_cast<char>(byte));
        ++markedInputBytes;
    });
    at.line += end.lineBreaks;
    if (end.cut) {
        breakLine();
        marked += "...";
        cut = true;
        endLine = at.line + 1;
    }
    return end.cut;
}

// The lines after the marked part, as many as make up the context, and no
// more than limit bytes of them.
void errorExcerpt::readAfter(kavrin::textReader& input, walk& at, std::uint32_t stopLine, std::uint64_t limit)
{
    const std::uint32_t breaksInMarked = at.line - stopLine;
    bool stoppedAtLineFeed = false;
    std::uint64_t taken = 0;
    for (std::uint32_t shownLines = 0; input.fill();) {
        const unsigned char* from = input.next();
        // A character is never cut at the limit.
        if (taken >= limit && (taken >= limit + 3 || !kavrin::utf8::isContinuation(*from))) {
            if (*from != '\n')
                after += cutMark;
            break;
        }
        // A run up to the next line feed, within the limit.
        auto available = static_cast<std::size_t>(input.limit() - from);
        if (limit - std::min(taken, limit) < available)
            available = std::max<std::size_t>(static_cast<std::size_t>(limit - std::min(taken, limit)), 1);
        const auto* lineFeed = static_cast<const unsigned char*>(std::memchr(from, '\n', available));
        const unsigned char* runEnd = lineFeed != nullptr ? lineFeed : from + available;
        after.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(runEnd - from));
        taken += static_cast<std::uint64_t>(runEnd - from);
        input.advance(runEnd);
        if (lineFeed == nullptr)
            continue;
        input.advance(lineFeed + 1);
        ++taken;
        if (!after.empty() && !endsWith(after, '\r'))
            after.push_back('\r');
        ++at.line;
        if (shownLines >= contextLines - breaksInMarked) {
            stoppedAtLineFeed = true;
            break;
        }
        ++shownLines;
        after.push_back('\n');
    }

    // The last shown line is still open unless a line feed ended it. A CR the
    // file itself ends with is no line feed: counting it as one would leave
    // the error line without its number.
    const std::string& last = after.empty() ? marked : after;
    const bool closedByLineFeed = endsWith(last, '\n') || (stoppedAtLineFeed && endsWith(last, '\r'));
    endLine = at.line + (closedByLineFeed ? 0 : 1);
    if (marked.empty())
        marked.push_back(endMark);
}
