#pragma once

#include "format.h"
#include "positions.h"
#include "textVersion.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// What the server knows of a text's elements: the outline, hover, folding,
// the tags that belong together, and the other place a violation involves.
// The tags are the light scan's, the facts of each element the format
// table's.
namespace kavrin::lsp {

// What an element is and what it holds, in the German a player reads, made
// from its row of the format table (Markdown).
std::string elementHelp(const format::element& e);

// The tickets of a text with their tips, as textDocument/documentSymbol
// answers: one symbol per <schein>, its tips as children. JSON text, written
// as it goes: a large file has tens of thousands.
std::string documentSymbols(const textVersion& text);

// The rule of the element at a place, as textDocument/hover answers; null
// where no element of the format stands.
nlohmann::json hoverAt(const textVersion& text, editorPosition at);

// Each <schein> over more than one line as a range to fold, as
// textDocument/foldingRange answers.
nlohmann::json foldingRanges(const textVersion& text);

// The tag at a place and the tag that closes or opens it, as
// textDocument/documentHighlight answers; empty off a tag.
nlohmann::json highlightsAt(const textVersion& text, editorPosition at);

// The other place a violation involves, as relatedInformation: the <wsArt>
// a version does not fit, the earlier number of numbers out of order, the
// start tag whose end tag is missing. Empty for any other.
nlohmann::json relatedPlaces(
    const std::string& uri, const textVersion& text, std::string_view code, std::uint64_t offset);

} // namespace kavrin::lsp
