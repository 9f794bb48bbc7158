#pragma once

#include "format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules for the text of one element, as plain functions of the text and
// the rule's limits. Each returns nothing for a value that keeps its rule,
// and otherwise where in the text it breaks it, the code and the reason; the
// reason is composed only then. The grammar decides what a fault does.
namespace kavrin::rules {

struct valueFault {
    std::size_t offset = 0; // in the element's text
    std::string_view code;
    std::string reason;
};
using verdict = std::optional<valueFault>;

// Plain digits, leading zeros allowed, the value in minimum..maximum. A
// fault lies at the first byte, whichever test failed.
verdict numberIn(std::string_view element, std::string_view text, std::uint32_t minimum, std::uint32_t maximum);
// Exactly two digits naming one of the known games.
verdict gameType(std::string_view text, game& value);
bool versionFitsGame(std::uint32_t majorVersion, game g);
std::uint32_t durationLimit(game g);
// Read against the widest limit the format's type allows first, then
// against the game's own.
verdict duration(std::string_view text, game g);
// Empty, or 1 to 20 codes of four digits or capitals, separated by commas;
// a bad code is reported at its start.
verdict filter(std::string_view text);
// count two-digit numbers in 1..maximum, strictly ascending, separated by
// single commas. The first failing test of the first failing number decides.
verdict numberList(std::string_view element, std::string_view text, std::uint32_t count, std::uint32_t maximum);
// 18 symbols of 1, 2, X and - with single commas, the first five not -,
// exactly five - in all.
verdict fenuRow(std::string_view text);
// Five pairs of 0, 1, 2 and + with single commas.
verdict brakelTip(std::string_view text);

} // namespace kavrin::rules
