#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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

// Where the lines of one text begin, and how many UTF-16 units stand before
// each block of its bytes: made once for a version of a text, so that every
// place of it is found without reading the text from its start again. The
// bytes must outlive the index.
class lineIndex {
public:
    lineIndex(std::string_view bytes, positionEncoding encoding);

    std::string_view text() const { return bytes; }

    // A place inside a character counts from that character's start.
    editorPosition positionOf(std::size_t offset) const;
    // The byte offset of an editor position; a character beyond its line's
    // end means the line's end, a line beyond the text means the text's end.
    std::size_t offsetOf(editorPosition position) const;

private:
    // UTF-16 units of the bytes before offset.
    std::size_t unitsBefore(std::size_t offset) const;
    // Where the line's characters end: at its line break, or the text's end.
    std::size_t contentEnd(std::size_t line) const;

    static constexpr std::size_t blockSize = 128;

    std::string_view bytes;
    positionEncoding encoding;
    std::vector<std::size_t> lineStarts;
    // Units before each block; empty where units and bytes agree (bytes
    // counted, or a text of ASCII alone).
    std::vector<std::uint32_t> blockUnits;
};

} // namespace kavrin::lsp
