#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kavrin::lsp {

// How the editor counts characters within a line, in UTF-16 units or bytes,
// and whether a lone CR ends a line for it. The protocol says it does;
// Neovim keeps it in the line, as Vim does, and both sides must count alike
// or an edit lands on another line.
enum class positionEncoding { utf16, utf8, utf16LoneCrInLine, utf8LoneCrInLine };

bool countsBytes(positionEncoding encoding);
bool loneCrEndsLine(positionEncoding encoding);
// The encoding agreed with a client of that name (its clientInfo) that
// counts bytes or not.
positionEncoding encodingAgreed(bool bytes, std::string_view clientName);

// A place as the editor sees it: lines split at LF, CR LF and (unless the
// editor keeps it in the line) CR, characters counted in the negotiated
// encoding. Not the checker's line and byte column,
// which split at LF only after text mode has dropped the CR of CR LF; the
// checker's input offsets are what both share.
struct editorPosition {
    std::uint32_t line = 0;
    std::uint32_t character = 0;
    bool operator==(const editorPosition&) const = default;
};

// The offset after the character that offset lies in, or offset itself at a
// character's start.
std::size_t characterEnd(std::string_view bytes, std::size_t offset);
// The start of the character that offset lies in.
std::size_t characterStart(std::string_view bytes, std::size_t offset);

// How many bytes at the start of a saved file an editor does not show: a
// UTF-8 byte-order mark, which the checker counts. An editor's own text is
// mapped as it is, whatever it starts with.
std::size_t hiddenByEditor(std::string_view savedBytes);

// A place inside a character counts from that character's start.
editorPosition positionOf(std::string_view bytes, std::size_t offset, positionEncoding encoding);

// The positions of many places of one text, found in one pass while they
// come in ascending order.
class positionFinder {
public:
    positionFinder(std::string_view bytes, positionEncoding encoding);
    editorPosition at(std::size_t offset);

private:
    std::string_view bytes;
    positionEncoding encoding;
    std::size_t scanned = 0; // bytes looked at for line ends
    std::size_t lineBegin = 0;
    std::size_t walked = 0; // where counting characters of the line stands
    std::uint32_t line = 0;
    std::uint32_t units = 0;
};

// The byte offset of an editor position; a character beyond its line's end
// means the line's end, a line beyond the text means the text's end.
std::size_t offsetOf(std::string_view bytes, editorPosition position, positionEncoding encoding);

} // namespace kavrin::lsp
