#pragma once

#include "positions.h"
#include "textVersion.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

// Help to write a ticket file right while it is typed: completion from the
// format table, and formatting in the canonical layout.
namespace kavrin::lsp {

// Typing it asks for a completion at once.
inline constexpr std::string_view completionTrigger = "<";

// The completion items at a place, as textDocument/completion answers: the
// elements the format allows there, in its order, each with its start and
// end tags and what must stand in it (the game's values, the table's
// examples), as snippets with placeholders where the client takes them;
// inside <wsArt> the game types. An item is offered only when the check of
// the text with it fails no earlier than the check of the text without it.
nlohmann::json completionAt(const textVersion& text, editorPosition at, bool snippets);

// The edits that give the text the canonical layout, as
// textDocument/formatting answers; none when it has it, and nothing when the
// layout would change what the check finds.
std::optional<nlohmann::json> formattingEdits(const textVersion& text);

} // namespace kavrin::lsp
