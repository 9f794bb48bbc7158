#include "messages.h"
#include "tzvParser.h"

#include <cstring>

int tzvParser::readChar()
{
    const int byte = input.get();
    if (byte == '\n') {
        ++line;
        column = 1;
    } else if (byte != kavrin::textReader::endOfInput) {
        ++column;
    }
    return byte;
}

void tzvParser::skipWhitespace()
{
    while (input.fill()) {
        const unsigned char* p = input.next();
        const unsigned char* stop = input.limit();
        for (; p < stop; ++p) {
            if (*p == '\n') {
                ++line;
                column = 1;
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
}

// Only the byte structure of UTF-8 is checked: overlong forms, surrogates and
// values above U+10FFFF pass, NUL is left to the markup scanner.
void tzvParser::checkEncoding(std::uint64_t start)
{
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    unsigned pending = 0; // continuation bytes still owed by the last lead byte
    while (input.fill()) {
        const unsigned char* p = input.next();
        const unsigned char* stop = input.limit();
        while (p < stop) {
            if (pending > 0) {
                if ((*p & 0xC0) != 0x80)
                    throw Error(kavrin::messages::encoding);
                --pending;
                ++p;
                continue;
            }
            std::uint64_t word;
            while (stop - p >= 8 && (std::memcpy(&word, p, 8), (word & highBits) == 0))
                p += 8;
            if (p == stop)
                break;
            const unsigned char lead = *p++;
            if (lead < 0x80)
                continue;
            if (lead < 0xC0 || lead >= 0xF8)
                throw Error(kavrin::messages::encoding);
            pending = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        }
        input.advance(stop);
    }
    if (pending > 0)
        throw Error(kavrin::messages::encoding);
    input.seek(start);
}
