#include "positions.h"

#include "utf8.h"

#include <algorithm>

namespace kavrin::lsp {

namespace {

    bool crBeforeLf(std::string_view bytes, std::size_t i)
    {
        return bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    }

    // Bytes of the UTF-8 sequence led by this byte; a stray byte counts alone.
    std::size_t sequenceLength(unsigned char lead) { return std::max<std::size_t>(utf8::scanLength(lead), 1); }

    // The start of the editor line holding offset, and its number.
    std::size_t lineStart(std::string_view bytes, std::size_t offset, std::uint32_t& line)
    {
        std::size_t start = 0;
        line = 0;
        for (std::size_t i = 0; i < offset; ++i) {
            if (bytes[i] == '\n' || (bytes[i] == '\r' && !crBeforeLf(bytes, i))) {
                ++line;
                start = i + 1;
            }
        }
        return start;
    }

    bool isContinuation(char byte) { return utf8::isContinuation(static_cast<unsigned char>(byte)); }

    bool endsLine(std::string_view bytes, std::size_t i) { return bytes[i] == '\n' || bytes[i] == '\r'; }

} // namespace

std::size_t characterEnd(std::string_view bytes, std::size_t offset)
{
    while (offset < bytes.size() && offset > 0 && isContinuation(bytes[offset]))
        ++offset;
    return offset;
}

editorPosition positionOf(std::string_view bytes, std::size_t offset, positionEncoding encoding)
{
    offset = std::min(offset, bytes.size());
    // A place inside a character starts at that character.
    for (std::size_t back = offset;
         back > 0 && offset - back < 3 && back < bytes.size() && isContinuation(bytes[back]);) {
        --back;
        if (static_cast<unsigned char>(bytes[back]) >= 0xC0) {
            offset = back;
            break;
        }
    }
    editorPosition position;
    const std::size_t start = lineStart(bytes, offset, position.line);
    if (encoding == positionEncoding::utf8) {
        position.character = static_cast<std::uint32_t>(offset - start);
        return position;
    }
    for (std::size_t i = start; i < offset;) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[i]));
        position.character += length == 4 ? 2 : 1;
        i += length;
    }
    return position;
}

std::size_t offsetOf(std::string_view bytes, editorPosition position, positionEncoding encoding)
{
    std::size_t i = 0;
    for (std::uint32_t line = 0; line < position.line; ++line) {
        while (i < bytes.size() && !endsLine(bytes, i))
            ++i;
        if (i == bytes.size())
            return i;
        i += crBeforeLf(bytes, i) ? 2 : 1;
    }
    for (std::uint32_t units = 0; i < bytes.size() && !endsLine(bytes, i) && units < position.character;) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[i]));
        units += encoding == positionEncoding::utf8 ? static_cast<std::uint32_t>(length) : length == 4 ? 2 : 1;
        i = std::min(bytes.size(), i + length);
    }
    return i;
}

} // namespace kavrin::lsp
