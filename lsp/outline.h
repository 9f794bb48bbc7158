#pragma once

#include "positions.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace kavrin::lsp {

// The tickets of a text with their tips, as textDocument/documentSymbol
// answers: one symbol per <schein>, its tips as children.
nlohmann::json documentSymbols(std::string_view text, positionEncoding encoding);

// The rule of the element at a place, as textDocument/hover answers; null
// where no element of the format stands.
nlohmann::json hoverAt(std::string_view text, editorPosition at, positionEncoding encoding);

// The other place a violation involves, as relatedInformation: the <wsArt>
// a version does not fit, the earlier number of numbers out of order, the
// start tag whose end tag is missing. Empty for any other.
nlohmann::json relatedPlaces(const std::string& uri, std::string_view text, std::string_view code, std::uint64_t offset,
    positionEncoding encoding);

} // namespace kavrin::lsp
