#pragma once

#include "format.h"
#include "ticketData.h"
#include "valueRules.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where each value of the format stands in a ticketFile: the one place that
// ties the table's elements to the data's members, for reading, writing and
// the front ends' own forms of the data.
namespace kavrin::data {

// The symbols of each pair of a goal-score tip.
inline constexpr std::size_t pairWidth = 2;

// A tip's stars; every other number list holds a tip's numbers.
inline constexpr const format::element& starsRow = format::row("vexTippStern");

// The value of a number element of the header (<kundenNr>, a <wimbel>
// child, <ziroPlus>, <tnDauer>), when the data has it.
std::optional<std::uint32_t> numberOf(const ticketFile& data, const format::element& e);
// Sets it; a <wimbel> child makes the <wimbel> it stands in.
void setNumber(ticketFile& data, const format::element& e, std::uint32_t value);

// The rule the check holds an element's text to, for a text given apart (a
// field of a form, a value of data): its fault, or none. A version is held to
// the game; an element that needs a version (<ziroPlus>) to the version.
rules::verdict ruleOf(
    const format::element& e, std::string_view text, std::uint32_t gameType, std::string_view version);

// Text that stands as it is in a value or a comment: UTF-8 by Unicode's
// rules, without control characters or any of the given characters.
bool plainText(std::string_view text, std::string_view forbidden);

// Whether the game's tips are pool rows, else number tips.
bool hasPoolRows(std::uint32_t gameType);

// The texts of the values as the file has them, and back; the value of a
// text that keeps its rule.
std::string listText(std::vector<std::uint32_t> numbers);
std::vector<std::uint32_t> listValues(std::string_view text);
// Parts separated by commas, each of `each` characters when they keep their
// rule (filter codes, goal-score pairs).
std::string joined(const std::vector<std::string>& parts);
std::vector<std::string> split(std::string_view text, std::size_t each);
// A pool row's symbols ("1X2…") as its text ("1,X,2,…"), and back.
std::string rowText(std::string_view symbols);
std::string rowSymbols(std::string_view text);

} // namespace kavrin::data
