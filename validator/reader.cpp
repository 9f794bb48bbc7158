#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>
#include <cstring>

int kavrin::detail::checker::readChar()
{
    const int byte = input.get();
    if (byte == '\n') {
        ++line;
        column = 1;
        lineOffset = input.offsetOf(input.next() - 1) + 1;
    } else if (byte != kavrin::textReader::endOfInput) {
        ++column;
    }
    return byte;
}

void kavrin::detail::checker::skipWhitespace()
{
    while (input.fill()) {
        const unsigned char* p = input.next();
        const unsigned char* stop = input.limit();
        for (; p < stop; ++p) {
            if (*p == '\n') {
                ++line;
                column = 1;
                lineOffset = input.offsetOf(p) + 1;
            } else if (*p == ' ' || *p == '\t' || *p == '\r') {
                ++column;
            } else {
                break;
            }
        }
        input.advance(p);
        if (p < stop)
            break;
    }
    tokenLine = line;
    tokenColumn = column;
    tokenLineOffset = lineOffset;
}

// For a reason: the found character and what follows it on its line, up to a
// few dozen bytes and, where a tag may begin again, up to its '<'.
std::string kavrin::detail::checker::foundRun(int first, bool toTag)
{
    std::string found(1, static_cast<char>(first));
    for (int next = input.peek(); next >= 0 && next != '\n' && !(toTag && next == '<'); next = input.peek()) {
        // A run ends at a character's end, never inside one, and a run of NUL
        // bytes is taken whole to be counted.
        const bool nulRun = next == 0 && found.find_first_not_of('\0') == std::string::npos;
        if (found.size() >= 40 && !kavrin::utf8::isContinuation(static_cast<unsigned char>(next)) && !nulRun)
            break;
        found.push_back(static_cast<char>(input.get()));
    }
    return found;
}

// Only the byte structure of UTF-8 is checked (the scan's rules of the text
// toolkit): overlong forms, surrogates and values above U+10FFFF pass, NUL is
// left to the markup scanner.
void kavrin::detail::checker::checkEncoding(std::uint64_t start)
{
    unsigned pending = 0; // continuation bytes still owed by the last lead byte
    unsigned owed = 0; // continuation bytes the last lead byte asked for
    std::uint64_t passed = 0; // delivered bytes before the current chunk
    while (input.fill()) {
        const unsigned char* from = input.next();
        const unsigned char* p = from;
        const unsigned char* stop = input.limit();
        while (p < stop) {
            if (pending > 0) {
                if (!kavrin::utf8::isContinuation(*p))
                    failEncoding(start, passed + static_cast<std::uint64_t>(p - from) - (owed - pending) - 1, false);
                --pending;
                ++p;
                continue;
            }
            p = kavrin::utf8::pastAscii(p, stop);
            if (p == stop)
                break;
            const unsigned char lead = *p++;
            if (lead < 0x80)
                continue;
            const std::size_t length = kavrin::utf8::scanLength(lead);
            if (length == 0)
                failEncoding(start, passed + static_cast<std::uint64_t>(p - from) - 1, false);
            pending = owed = static_cast<unsigned>(length - 1);
        }
        passed += static_cast<std::uint64_t>(stop - from);
        input.advance(stop);
    }
    if (pending > 0)
        failEncoding(start, passed - (owed - pending) - 1, true);
    input.seek(start);
}

// Reads the input once more up to the first byte of the broken sequence to
// name its place as the reader counts it.
void kavrin::detail::checker::failEncoding(std::uint64_t start, std::uint64_t badOffset, bool atEnd)
{
    input.seek(start);
    for (std::uint64_t i = 0; i < badOffset; ++i)
        readChar();
    input.peek();
    // For the reason: the broken bytes, and the rest of the text as the
    // reader sees it, up to a byte 0x1A that ends it.
    const std::size_t at = static_cast<std::size_t>(input.offsetOf(input.next()));
    const std::size_t endOfText = std::min(sourceBytes.find('\x1A', start), sourceBytes.size());
    const std::size_t owed = kavrin::utf8::scanLength(static_cast<unsigned char>(sourceBytes[at]));
    std::size_t length = 1;
    while (length < owed && at + length < endOfText
        && kavrin::utf8::isContinuation(static_cast<unsigned char>(sourceBytes[at + length])))
        ++length;
    const kavrin::utf8::sequenceCount sequences
        = kavrin::utf8::countSequences(sourceBytes.substr(start, endOfText - start));
    kavrin::reasons::brokenSequence broken;
    broken.bytes = sourceBytes.substr(at, length);
    broken.line = line;
    broken.column = column;
    broken.atEnd = atEnd;
    broken.endOfTextAfter = atEnd && endOfText < sourceBytes.size();
    broken.bytesAfterEndOfText = broken.endOfTextAfter ? sourceBytes.size() - endOfText - 1 : 0;
    broken.utf8Elsewhere = start > 0 || sequences.complete > 0;
    broken.alone = sequences.broken == 1;
    throw Error(kavrin::messages::encoding, kavrin::codes::invalidUtf8, kavrin::reasons::invalidUtf8(broken));
}
