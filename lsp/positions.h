#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kavrin::lsp {

// How the editor counts characters within a line.
enum class positionEncoding { utf16, utf8 };

// A place as the editor sees it: lines split at LF, CR LF and CR, characters
// counted in the negotiated encoding. Not the checker's line and byte column,
// which split at LF only after text mode has dropped the CR of CR LF.
struct editorPosition {
    std::uint32_t line = 0;
    std::uint32_t character = 0;
    bool operator==(const editorPosition&) const = default;
};

// The byte offset in the buffer of the checker's place (1-based line, byte
// column, as text mode delivers the bytes); the end of that line when the
// place lies past it, the buffer's end when the input ends before it.
std::size_t offsetOfPlace(std::string_view bytes, std::uint32_t line, std::uint32_t column);

// The offset reached after count bytes as text mode delivers them from `from`.
std::size_t advanceInTextMode(std::string_view bytes, std::size_t from, std::size_t count);

// The offset after the character that offset lies in, or offset itself at a
// character's start.
std::size_t characterEnd(std::string_view bytes, std::size_t offset);

// A place inside a character counts from that character's start.
editorPosition positionOf(std::string_view bytes, std::size_t offset, positionEncoding encoding);

// The byte offset of an editor position; a character beyond its line's end
// means the line's end, a line beyond the text means the text's end.
std::size_t offsetOf(std::string_view bytes, editorPosition position, positionEncoding encoding);

} // namespace kavrin::lsp
