#include "errorExcerpt.h"

#include "fileName.h"
#include "textReader.h"
#include "tzvParser.h"
#include "utf8.h"

#include <array>
#include <cstring>
#include <utility>

namespace {

// Holds the file from the start of the first line the excerpt may show up to
// the reported place. It lives as long as the program and keeps its storage,
// so a run over many files allocates once. Lines that can no longer be shown
// are dropped as reading goes on, so it never holds more than the last few
// lines however long the file.
std::string& prefixBuffer()
{
    static std::string buffer;
    return buffer;
}

constexpr std::size_t trimThreshold = 64 * 1024;

bool endsWith(const std::string& text, char c) { return !text.empty() && text.back() == c; }

} // namespace

errorExcerpt::errorExcerpt(std::string nameText)
    : errorExcerpt(std::move(nameText), kavrin::textReader::defaultBufferSize)
{
}

errorExcerpt::errorExcerpt(std::string nameText, std::size_t bufferSize)
    : fileName(std::move(nameText))
    , bufferSize(bufferSize)
{
}

void errorExcerpt::extract(std::uint32_t errorLine, std::uint32_t errorColumn)
{
    before.clear();
    marked.clear();
    after.clear();
    firstLine = endLine = 1;
    markedInputBytes = 0;
    cut = false;
    std::uint32_t line = 1;
    std::uint32_t column = 1;
    kavrin::textReader input(bufferSize);
    if (bytes) {
        input.openBytes(*bytes, tzvParser::maximumFileSize);
    } else {
        if (fileName.empty())
            return;
        std::string name = fileName;
        kavrin::removeSurroundingQuotes(name);
        if (!input.open(name, tzvParser::maximumFileSize))
            return;
    }

    std::string& prefix = prefixBuffer();
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
        ++line;
        column = 1;
        if (lineEndCount > lineEnds.size() && prefix.size() > trimThreshold) {
            const std::size_t keepFrom = lineEnds[lineEndCount % lineEnds.size()];
            if (keepFrom > prefix.size() / 2) {
                prefix.erase(0, keepFrom);
                for (std::size_t& end : lineEnds)
                    end -= std::min(end, keepFrom);
            }
        }
    };
    while (!(line == errorLine && column == errorColumn) && input.fill()) {
        const unsigned char* from = input.next();
        if (line == 1 && column <= 3) {
            // A byte-order mark becomes three blanks, so the columns after it stay.
            const unsigned char byte = *from;
            input.advance(from + 1);
            if (byte == '\n') {
                takeLineFeed();
                continue;
            }
            const bool byteOrderMark = byte == static_cast<unsigned char>(kavrin::utf8::byteOrderMark[column - 1]);
            prefix.push_back(byteOrderMark ? ' ' : static_cast<char>(byte));
            ++column;
            continue;
        }
        // A run up to the next line feed, and on the error line no further
        // than the place.
        auto available = static_cast<std::size_t>(input.limit() - from);
        if (line == errorLine && column < errorColumn)
            available = std::min<std::size_t>(available, errorColumn - column);
        const auto* lineFeed = static_cast<const unsigned char*>(std::memchr(from, '\n', available));
        const unsigned char* runEnd = lineFeed != nullptr ? lineFeed : from + available;
        prefix.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(runEnd - from));
        column += static_cast<std::uint32_t>(runEnd - from);
        input.advance(runEnd);
        if (lineFeed != nullptr) {
            input.advance(lineFeed + 1);
            takeLineFeed();
        }
    }
    const std::uint32_t stopLine = line;

    if (!prefix.empty()) {
        firstLine = stopLine > contextLines ? stopLine - contextLines : 1;
        std::size_t start = prefix.size();
        std::size_t found = 0;
        for (std::uint32_t search = 0; search <= contextLines; ++search) {
            const std::size_t lf = start == 0 ? std::string::npos : prefix.rfind('\n', start - 1);
            if (lf == std::string::npos) {
                found = 0;
                break;
            }
            found = lf + 1;
            start = lf;
        }
        before.assign(prefix, found);
    }

    for (;;) {
        const int byte = input.peek();
        if (byte == kavrin::textReader::endOfInput)
            break;
        const bool lineBreak = byte == '\n' || endsWith(marked, '\r');
        if (!lineBreak && byte == '<' && !marked.empty())
            break; // the '<' stays unread for the lines after
        input.get();
        if (lineBreak) {
            if (!marked.empty() && !endsWith(marked, '\r'))
                marked.push_back('\r');
            ++line;
            if (line > stopLine + 2) {
                marked += "...";
                cut = true;
                endLine = line + 1;
                return;
            }
        }
        marked.push_back(static_cast<char>(byte));
        ++markedInputBytes;
        if (byte == '>' && marked.size() > 1)
            break;
    }

    const std::uint32_t breaksInMarked = line - stopLine;
    bool stoppedAtLineFeed = false;
    for (std::uint32_t shownLines = 0;;) {
        const int byte = input.get();
        if (byte == kavrin::textReader::endOfInput)
            break;
        if (byte == '\n') {
            if (!after.empty() && !endsWith(after, '\r'))
                after.push_back('\r');
            ++line;
            if (shownLines >= contextLines - breaksInMarked) {
                stoppedAtLineFeed = true;
                break;
            }
            ++shownLines;
        }
        after.push_back(static_cast<char>(byte));
    }

    // The last shown line is still open unless a line feed ended it. A CR the
    // file itself ends with is no line feed: counting it as one would leave
    // the error line without its number.
    const std::string& last = after.empty() ? marked : after;
    const bool closedByLineFeed = endsWith(last, '\n') || (stoppedAtLineFeed && endsWith(last, '\r'));
    endLine = line + (closedByLineFeed ? 0 : 1);
    if (marked.empty())
        marked.push_back(endMark);
}
