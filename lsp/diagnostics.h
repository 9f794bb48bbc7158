#pragma once

#include "positions.h"
#include "textVersion.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// What kavrin-lsp tells the editor about a text: the violation as a
// diagnostic, and where the saved file differs, the saved file's own.
namespace kavrin::lsp {

// The editor's range of the bytes from start to end of a text or file.
nlohmann::json rangeOfBytes(const lineIndex& lines, std::uint64_t start, std::uint64_t end);

// The diagnostics of a text in the editor, one for each of its violations
// in file order, with the other place each involves; none when it is
// correct. The text is checked as it will be saved, after the bytes its file
// has and the editor hides, so that places and columns are the file's.
nlohmann::json diagnosticsOfText(const std::string& uri, const textVersion& text, std::string_view hidden);

// What the file behind a file: URI adds to its text in the editor.
struct savedFile {
    // The byte-order mark the file begins with and the editor hides; empty
    // when the text shows it or the file has none.
    std::string_view hidden;
    // The file's own diagnostic where its outcome differs from the text's,
    // or null: when they agree, for any other URI, and for a file not saved
    // yet. The file is only read.
    nlohmann::json diagnostic;
};
savedFile savedFileOf(std::string_view uri, const textVersion& text);

} // namespace kavrin::lsp
