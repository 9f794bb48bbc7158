#include "positions.h"

#include "utf8.h"

#include <algorithm>
#include <cstring>

namespace kavrin::lsp {

namespace {

    // The client that ends a line at LF and CR LF only.
    constexpr std::string_view keepsLoneCrInLine = "Neovim";

    bool isContinuation(char byte) { return utf8::isContinuation(static_cast<unsigned char>(byte)); }

    // The UTF-16 units a byte adds: its character's, counted at its first
    // byte, two for one beyond the basic plane.
    std::size_t unitsOf(char byte)
    {
        const auto b = static_cast<unsigned char>(byte);
        return utf8::isContinuation(b) ? 0 : utf8::scanLength(b) == 4 ? 2 : 1;
    }

    std::size_t unitsIn(std::string_view bytes)
    {
        std::size_t units = 0;
        for (const char byte : bytes)
            units += unitsOf(byte);
        return units;
    }

    // Every offset where a character c stands, in order.
    std::vector<std::size_t> placesOf(std::string_view bytes, char c)
    {
        std::vector<std::size_t> places;
        const char* const begin = bytes.data();
        const char* const end = begin + bytes.size();
        for (const char* at = begin; at < end; ++at) {
            at = static_cast<const char*>(std::memchr(at, c, static_cast<std::size_t>(end - at)));
            if (at == nullptr)
                break;
            places.push_back(static_cast<std::size_t>(at - begin));
        }
        return places;
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

// A line ends after LF, after CR LF, and after a lone CR where the editor
// ends a line there.
lineIndex::lineIndex(std::string_view bytes, positionEncoding encoding)
    : bytes(bytes)
    , encoding(encoding)
{
    lineStarts.push_back(0);
    const std::vector<std::size_t> lineFeeds = placesOf(bytes, '\n');
    const std::vector<std::size_t> returns
        = loneCrEndsLine(encoding) ? placesOf(bytes, '\r') : std::vector<std::size_t>();
    auto lf = lineFeeds.begin();
    for (const std::size_t cr : returns) {
        for (; lf != lineFeeds.end() && *lf < cr; ++lf)
            lineStarts.push_back(*lf + 1);
        if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n')
            lineStarts.push_back(cr + 1);
    }
    for (; lf != lineFeeds.end(); ++lf)
        lineStarts.push_back(*lf + 1);

    if (countsBytes(encoding))
        return;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    if (utf8::pastAscii(begin, end) == end)
        return;
    std::size_t units = 0;
    for (std::size_t block = 0; block < bytes.size(); block += blockSize) {
        blockUnits.push_back(static_cast<std::uint32_t>(units));
        const std::string_view part = bytes.substr(block, blockSize);
        units += utf8::pastAscii(part.data(), part.data() + part.size()) == part.data() + part.size() ? part.size()
                                                                                                      : unitsIn(part);
    }
}

std::size_t lineIndex::unitsBefore(std::size_t offset) const
{
    if (blockUnits.empty())
        return offset;
    // The end of a text of whole blocks begins no block of its own.
    const std::size_t block = std::min(offset / blockSize, blockUnits.size() - 1);
    return blockUnits[block] + unitsIn(bytes.substr(block * blockSize, offset - block * blockSize));
}

std::size_t lineIndex::contentEnd(std::size_t line) const
{
    if (line + 1 >= lineStarts.size())
        return bytes.size();
    const std::size_t next = lineStarts[line + 1];
    return next >= 2 && bytes[next - 1] == '\n' && bytes[next - 2] == '\r' ? next - 2 : next - 1;
}

editorPosition lineIndex::positionOf(std::size_t offset) const
{
    offset = characterStart(bytes, offset);
    const std::size_t line
        = static_cast<std::size_t>(std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) - lineStarts.begin())
        - 1;
    const std::size_t lineStart = lineStarts[line];
    const std::size_t character
        = countsBytes(encoding) ? offset - lineStart : unitsBefore(offset) - unitsBefore(lineStart);
    return { static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(character) };
}

std::size_t lineIndex::offsetOf(editorPosition position) const
{
    if (position.line >= lineStarts.size())
        return bytes.size();
    const std::size_t lineStart = lineStarts[position.line];
    const std::size_t end = contentEnd(position.line);
    if (countsBytes(encoding) || blockUnits.empty())
        return characterEnd(bytes, std::min<std::size_t>(end, lineStart + position.character));
    // The first character start at or past the wanted unit, walked from the
    // last block that begins before it.
    const std::size_t wanted = unitsBefore(lineStart) + position.character;
    const auto after = std::lower_bound(blockUnits.begin(), blockUnits.end(), wanted);
    const std::size_t block
        = after == blockUnits.begin() ? 0 : static_cast<std::size_t>(after - blockUnits.begin()) - 1;
    std::size_t at = std::max(lineStart, block * blockSize);
    for (std::size_t units = unitsBefore(at); at < end; ++at) {
        if (isContinuation(bytes[at]))
            continue;
        if (units >= wanted)
            break;
        units += unitsOf(bytes[at]);
    }
    return std::min(at, end);
}

} // namespace kavrin::lsp
