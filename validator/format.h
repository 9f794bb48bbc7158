#pragma once

#include "kavrin.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

// What a ticket file is, written once: its elements in order, how often each
// may stand, what its text must be and what it means, per game. The grammar,
// the value rules, the reasons, the repair, the summary and the language
// server read their facts from here.
namespace kavrin {

// The games a ticket file can hold, by their number in <wsArt>. 17 is known
// to the format but accepted with no interface version.
enum class game : std::uint32_t { none = 0, retired = 17, pool = 28, fivePlusTwo = 34, sixOf45 = 47 };

constexpr std::uint32_t numberOf(game g) { return static_cast<std::uint32_t>(g); }

} // namespace kavrin

namespace kavrin::format {

// What an element's text must be.
enum class valueKind : std::uint8_t {
    none, // holds elements, no text
    version, // "major.minor"; the major must fit the game
    number, // plain digits in minimum..maximum
    gameType, // two digits naming a game
    duration, // a number in 1..the game's limit, of at most maximum by type
    filterCodes, // empty, or up to maximum codes of count digits or capitals
    numberList, // count two-digit numbers in 1..maximum, ascending
    poolRow, // count fields of 1, 2, X and -, of which minimum are -
    goalScoreTip, // count pairs of 0, 1, 2 and +
};

// What the repair may change in an element's text, for certain.
enum repair : unsigned {
    noRepair = 0,
    blanks = 1, // blanks and line breaks around the value and its commas
    leadingZero = 2, // "1" → "01" in a number list
    ascending = 4, // a number list sorted
    capitals = 8, // small letters of symbols or codes as capitals
    strayComma = 16, // a comma before the first or after the last number or code
};

// The games a row belongs to.
enum games : unsigned { game47 = 1, game34 = 2, game28 = 4, everyGame = game47 | game34 | game28 };

struct element {
    std::string_view name;
    std::string_view parent; // empty for the root
    std::uint32_t minOccurs;
    std::uint32_t maxOccurs;
    valueKind value;
    std::uint32_t minimum;
    std::uint32_t maximum;
    std::uint32_t count;
    unsigned inGames;
    unsigned repairs;
    // The interface version an element needs; 0 for any.
    std::uint32_t sinceVersion;
    // What a file's summary notes of the element: that it is there, or how
    // many there are.
    bool fileSummary::*noted;
    std::uint32_t fileSummary::*counted;
    // German: what the element is, as a player needs it to write one, and a
    // correct value.
    std::string_view description;
    std::string_view example;
};

// In the order of the file. An element's children follow it.
inline constexpr element elements[] = {
    // clang-format off
    // name, parent, min, max, value, minimum, maximum, count, games, repairs, since, noted, counted, description, example
    { "uvra", "", 1, 1, valueKind::none, 0, 0, 0, everyGame, noRepair, 0, nullptr, nullptr,
        "Die Tippdatei.", "" },
    { "versionsNr", "uvra", 1, 1, valueKind::version, 0, 0, 0, everyGame, blanks, 0, nullptr, nullptr,
        "Die Version der Schnittstelle.", "4.0" },
    { "kundenNr", "uvra", 0, 1, valueKind::number, 1, 999999, 0, everyGame, blanks, 0, &fileSummary::customerNumber,
        nullptr, "Die Kundennummer.", "4711" },
    { "spielID", "uvra", 0, 1, valueKind::number, 1, 999999, 0, everyGame, blanks, 0, &fileSummary::gameId, nullptr,
        "Die Spiel-ID.", "1" },
    { "wsArt", "uvra", 1, 1, valueKind::gameType, 0, 0, 0, everyGame, blanks, 0, nullptr, nullptr,
        "Die Spielart.", "47" },
    { "tnDauer", "uvra", 0, 1, valueKind::duration, 1, 28, 0, everyGame, blanks, 0, &fileSummary::duration, nullptr,
        "Die Teilnahmedauer: an wie vielen Ziehungen die Tipps teilnehmen.", "1" },
    { "filter", "uvra", 0, 1, valueKind::filterCodes, 0, 20, 4, everyGame, blanks | capitals | strayComma, 0,
        &fileSummary::filter, nullptr, "Die Filtercodes.", "AB12,7K3Z" },
    { "wimbel", "uvra", 0, 1, valueKind::none, 0, 0, 0, everyGame, noRepair, 0, &fileSummary::wimbel, nullptr,
        "Die Wimbel-Angaben.", "" },
    { "anzahlWimbelProSchein", "wimbel", 1, 1, valueKind::number, 1, 10, 0, everyGame, blanks, 0, nullptr, nullptr,
        "Wie viele Wimbel ein Schein hat.", "1" },
    { "maximaleWimbelAnzahl", "wimbel", 0, 1, valueKind::number, 1, 10000, 0, everyGame, blanks, 0, nullptr, nullptr,
        "Wie viele Wimbel es höchstens gibt.", "100" },
    { "ziroPlus", "uvra", 0, 1, valueKind::number, 0, 1, 0, everyGame, blanks, 4, &fileSummary::ziroPlus, nullptr,
        "Die Zusatzlotterie ZiroPlus: 1 spielt mit, 0 nicht.", "1" },
    { "schein", "uvra", 1, 1000, valueKind::none, 0, 0, 0, everyGame, noRepair, 0, nullptr, &fileSummary::tickets,
        "Ein Schein mit den Tipps der Spielart der Datei.", "" },
    { "ziroTipp", "schein", 1, 12, valueKind::numberList, 1, 45, 6, game47, blanks | leadingZero | ascending | strayComma,
        0, nullptr, &fileSummary::tips, "Ein Tipp 6 aus 45.", "03,11,19,27,38,45" },
    { "tipp", "schein", 1, 10, valueKind::none, 0, 0, 0, game34, noRepair, 0, nullptr, &fileSummary::tips,
        "Ein Tipp 5 aus 50 plus 2 aus 12.", "" },
    { "vexTippZahl", "tipp", 1, 1, valueKind::numberList, 1, 50, 5, game34,
        blanks | leadingZero | ascending | strayComma, 0, nullptr, nullptr, "Die fünf Zahlen eines Tipps.",
        "04,17,23,38,50" },
    { "vexTippStern", "tipp", 1, 1, valueKind::numberList, 1, 12, 2, game34,
        blanks | leadingZero | ascending | strayComma, 0, nullptr, nullptr, "Die zwei Sterne eines Tipps.", "03,11" },
    { "fenuTipp", "schein", 1, 13, valueKind::poolRow, 5, 5, 18, game28, blanks | capitals, 0, nullptr,
        &fileSummary::tips,
        "Eine Reihe der Ergebniswette, ein Feld je Spiel: 1 (Heimsieg), X (Unentschieden), 2 (Auswärtssieg) oder - "
        "(nicht getippt).", "1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2" },
    { "brakelTipp", "schein", 0, 1, valueKind::goalScoreTip, 0, 0, 5, game28, blanks, 0, nullptr,
        &fileSummary::goalScoreTips, "Die Torwette: fünf Paare aus 0, 1, 2 und + (drei Tore und mehr).",
        "10,2+,00,+1,21" },
    // clang-format on
};

struct gameRules {
    game id;
    unsigned mask;
    std::string_view title; // "6 aus 45"
    std::uint32_t majorVersion; // of the interface that carries the game
    std::uint32_t durationLimit; // of <tnDauer>
    std::string_view tip; // the tip element of a <schein>
};

inline constexpr gameRules gameTable[] = {
    { game::sixOf45, game47, "6 aus 45", 4, 10, "ziroTipp" },
    { game::fivePlusTwo, game34, "5 aus 50 plus 2 aus 12", 4, 10, "tipp" },
    { game::pool, game28, "Ergebniswette", 3, 4, "fenuTipp" },
};

// The element of that name, or none.
constexpr const element* find(std::string_view name)
{
    for (const element& each : elements)
        if (each.name == name)
            return &each;
    return nullptr;
}

// The row of an element known to be in the table.
constexpr const element& row(std::string_view name)
{
    const element* found = find(name);
    return found != nullptr ? *found : elements[0];
}

// The rules of a game, or none for a number that names no game with a
// version (17, or any other).
constexpr const gameRules* rulesOf(game g)
{
    for (const gameRules& each : gameTable)
        if (each.id == g)
            return &each;
    return nullptr;
}

constexpr unsigned maskOf(game g)
{
    const gameRules* rules = rulesOf(g);
    return rules != nullptr ? rules->mask : everyGame;
}

constexpr bool belongsTo(const element& e, game g) { return (e.inGames & maskOf(g)) != 0; }

constexpr std::size_t indexOf(const element& e) { return static_cast<std::size_t>(&e - elements); }

// One bit for each element of the table, for sets of them.
constexpr std::uint32_t bitOf(const element& e) { return 1u << indexOf(e); }

// Where each element's parent stands in the table (the root's own place):
// the walk finds an element's children without comparing names.
inline constexpr auto parentIndex = [] {
    std::array<std::size_t, std::size(elements)> index {};
    for (std::size_t i = 0; i < std::size(elements); ++i)
        index[i] = elements[i].parent.empty() ? i : indexOf(row(elements[i].parent));
    return index;
}();

// The children of element Parent, where they stand in the table, in order.
template <std::size_t Parent> constexpr auto childrenOf()
{
    constexpr std::size_t count = [] {
        std::size_t n = 0;
        for (std::size_t i = Parent + 1; i < std::size(elements); ++i)
            n += parentIndex[i] == Parent ? 1 : 0;
        return n;
    }();
    std::array<std::size_t, count> children {};
    std::size_t k = 0;
    for (std::size_t i = Parent + 1; i < std::size(elements); ++i)
        if (parentIndex[i] == Parent)
            children[k++] = i;
    return children;
}
static_assert(std::size(elements) <= 32, "a set of elements is one 32-bit word");

} // namespace kavrin::format
