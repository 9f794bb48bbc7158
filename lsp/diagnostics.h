#pragma once

#include "positions.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// What kavrin-lsp tells the editor about a text: the violation as a
// diagnostic, and where the saved file differs, the saved file's own.
namespace kavrin::lsp {

// The editor's range of the bytes from start to end of a text or file.
nlohmann::json rangeOfBytes(std::string_view bytes, std::uint64_t start, std::uint64_t end, positionEncoding encoding);

// The diagnostics of a text in the editor, one for each of its violations
// in file order, with the other place each involves; none when it is
// correct.
nlohmann::json diagnosticsOfText(const std::string& uri, std::string_view text, positionEncoding encoding);

// The diagnostic of the file behind a file: URI where its outcome differs
// from the text's, or null: when they agree, for any other URI, and for a
// file not saved yet. The file is only read.
nlohmann::json diagnosticOfSavedFile(std::string_view uri, std::string_view text, positionEncoding encoding);

} // namespace kavrin::lsp
