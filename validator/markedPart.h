#pragma once

#include "textReader.h"

#include <cstdint>

namespace kavrin {

// How the part of the input that a violation marks is read, from its place
// on: the byte at the place, then on up to and including a '>' that is not
// the first byte, or up to a '<' that is left unread, or to the end of the
// input. A line feed is a line break, and so is any byte after a lone CR; the
// third line break is read but cuts the part before it.
struct markedPartEnd {
    std::uint32_t lineBreaks = 0; // read, the cutting one included
    bool cut = false;
};

// take(byte, lineBreak) receives each byte of the part in order.
template <class Take> markedPartEnd readMarkedPart(textReader& input, Take&& take)
{
    markedPartEnd end;
    std::size_t taken = 0;
    int last = -1;
    for (;;) {
        const int byte = input.peek();
        if (byte == textReader::endOfInput)
            return end;
        const bool lineBreak = byte == '\n' || last == '\r';
        if (!lineBreak && byte == '<' && taken > 0)
            return end;
        input.get();
        if (lineBreak && ++end.lineBreaks > 2) {
            end.cut = true;
            return end;
        }
        take(byte, lineBreak);
        ++taken;
        last = byte;
        if (byte == '>' && taken > 1)
            return end;
    }
}

} // namespace kavrin
