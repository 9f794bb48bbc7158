#include "positions.h"

#include "utf8.h"

#include <algorithm>

namespace kavrin::lsp {

namespace {

    // The client that ends a line at LF and CR LF only.
    constexpr std::string_view keepsLoneCrInLine = "Neovim";

    bool crBeforeLf(std::string_view bytes, std::size_t i)
    {
        return bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    }

    // Bytes of the UTF-8 sequence led by this byte; a stray byte counts alone.
    std::size_t sequenceLength(unsigned char lead) { return std::max<std::size_t>(utf8::scanLength(lead), 1); }

    bool isContinuation(char byte) { return utf8::isContinuation(static_cast<unsigned char>(byte)); }

    // A line ends at LF, at the CR of CR LF, and at a lone CR where the
    // editor ends a line there.
    bool endsLine(std::string_view bytes, std::size_t i, positionEncoding encoding)
    {
        return bytes[i] == '\n' || (bytes[i] == '\r' && (loneCrEndsLine(encoding) || crBeforeLf(bytes, i)));
    }

} // namespace

bool countsBytes(positionEncoding encoding)
{
    return encoding == positionEncoding::utf8 || encoding == positionEncoding::utf8LoneCrInLine;
}

bool loneCrEndsLine(positionEncoding encoding)
{
    return encoding == positionEncoding::utf16 || encoding == positionEncoding::utf8;
}

positionEncoding encodingAgreed(bool bytes, std::string_view clientName)
{
    if (clientName == keepsLoneCrInLine)
        return bytes ? positionEncoding::utf8LoneCrInLine : positionEncoding::utf16LoneCrInLine;
    return bytes ? positionEncoding::utf8 : positionEncoding::utf16;
}

std::size_t characterEnd(std::string_view bytes, std::size_t offset)
{
    while (offset < bytes.size() && offset > 0 && isContinuation(bytes[offset]))
        ++offset;
    return offset;
}

std::size_t characterStart(std::string_view bytes, std::size_t offset)
{
    offset = std::min(offset, bytes.size());
    for (std::size_t back = offset;
         back > 0 && offset - back < 3 && back < bytes.size() && isContinuation(bytes[back]);) {
        --back;
        if (static_cast<unsigned char>(bytes[back]) >= 0xC0)
            return back;
    }
    return offset;
}

std::size_t hiddenByEditor(std::string_view savedBytes)
{
    return savedBytes.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark ? utf8::byteOrderMark.size() : 0;
}

positionFinder::positionFinder(std::string_view bytes, positionEncoding encoding)
    : bytes(bytes)
    , encoding(encoding)
{
}

editorPosition positionFinder::at(std::size_t offset)
{
    // A place inside a character starts at that character.
    offset = characterStart(bytes, offset);
    if (offset < scanned)
        *this = positionFinder(bytes, encoding);
    for (; scanned < offset; ++scanned)
        if (endsLine(bytes, scanned, encoding) && !crBeforeLf(bytes, scanned)) {
            ++line;
            lineBegin = walked = scanned + 1;
            units = 0;
        }
    if (countsBytes(encoding))
        return { line, static_cast<std::uint32_t>(offset - lineBegin) };
    while (walked < offset) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[walked]));
        units += length == 4 ? 2 : 1;
        walked += length;
    }
    return { line, units };
}

editorPosition positionOf(std::string_view bytes, std::size_t offset, positionEncoding encoding)
{
    return positionFinder(bytes, encoding).at(offset);
}

std::size_t offsetOf(std::string_view bytes, editorPosition position, positionEncoding encoding)
{
    std::size_t i = 0;
    for (std::uint32_t line = 0; line < position.line; ++line) {
        while (i < bytes.size() && !endsLine(bytes, i, encoding))
            ++i;
        if (i == bytes.size())
            return i;
        i += crBeforeLf(bytes, i) ? 2 : 1;
    }
    for (std::uint32_t units = 0; i < bytes.size() && !endsLine(bytes, i, encoding) && units < position.character;) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[i]));
        units += countsBytes(encoding) ? static_cast<std::uint32_t>(length) : length == 4 ? 2 : 1;
        i = std::min(bytes.size(), i + length);
    }
    return i;
}

} // namespace kavrin::lsp
