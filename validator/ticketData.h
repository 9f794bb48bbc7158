#pragma once

#include "export.h"
#include "kavrin.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The data of a ticket file as the player means it, both ways: read() gives
// a correct file's data, write() makes a correct file of data.
//
//     kavrin::ticketFile data;
//     data.gameType = 47;
//     data.version = kavrin::versionFor(47);
//     data.tickets.push_back({ { { { 3, 11, 19, 27, 38, 45 }, {} } }, {}, {} });
//     const kavrin::written file = kavrin::write(data);
//     if (file.fault)
//         std::cerr << file.fault->reason;
namespace kavrin {

// A tip of a number game: six numbers of 6 aus 45 (<ziroTipp>), or five
// numbers and two stars of 5 aus 50 plus 2 aus 12 (<vexTippZahl>,
// <vexTippStern>). write() puts them in ascending order.
struct numberTip {
    std::vector<std::uint32_t> numbers;
    std::vector<std::uint32_t> stars;

    bool operator==(const numberTip& other) const { return numbers == other.numbers && stars == other.stars; }
    bool operator!=(const numberTip& other) const { return !(*this == other); }
};

struct ticket {
    // 6 aus 45 and 5 aus 50 plus 2 aus 12.
    std::vector<numberTip> numberTips;
    // Ergebniswette (<fenuTipp>): each row its 18 fields, one character a
    // field: '1', '2', 'X' or '-' ("1X211-2X-11-2-X-12").
    std::vector<std::string> poolRows;
    // Ergebniswette (<brakelTipp>): the five pairs of the goal-score tip
    // ("10", "2+", …); empty when the ticket has none.
    std::vector<std::string> goalScoreTip;

    bool operator==(const ticket& other) const
    {
        return numberTips == other.numberTips && poolRows == other.poolRows && goalScoreTip == other.goalScoreTip;
    }
    bool operator!=(const ticket& other) const { return !(*this == other); }
};

struct wimbelData {
    std::uint32_t perTicket = 0; // <anzahlWimbelProSchein>
    std::optional<std::uint32_t> most; // <maximaleWimbelAnzahl>

    bool operator==(const wimbelData& other) const { return perTicket == other.perTicket && most == other.most; }
    bool operator!=(const wimbelData& other) const { return !(*this == other); }
};

// The header's values and the tickets; an optional value that is not there
// is left out of the file.
struct ticketFile {
    std::uint32_t gameType = 0; // <wsArt>: 47, 34 or 28
    std::string version; // <versionsNr>, as written: "4.0"
    std::optional<std::uint32_t> customerNumber; // <kundenNr>
    std::optional<std::uint32_t> gameId; // <spielID>
    std::optional<std::uint32_t> duration; // <tnDauer>
    std::optional<std::vector<std::string>> filter; // <filter>: its codes, maybe none
    std::optional<wimbelData> wimbel;
    std::optional<std::uint32_t> ziroPlus; // 0 or 1
    std::vector<ticket> tickets;

    bool operator==(const ticketFile& other) const
    {
        return gameType == other.gameType && version == other.version && customerNumber == other.customerNumber
            && gameId == other.gameId && duration == other.duration && filter == other.filter && wimbel == other.wimbel
            && ziroPlus == other.ziroPlus && tickets == other.tickets;
    }
    bool operator!=(const ticketFile& other) const { return !(*this == other); }
};

// The check's result, and for a correct file its data.
struct reading {
    result checked;
    std::optional<ticketFile> data; // exactly when checked.valid()
};

// Reads by the check's own walk: the same result as check(), and the values
// where the walk finds them.
KAVRIN_EXPORT reading read(const source& what, const options& how = {});
KAVRIN_EXPORT reading read(std::string_view bytes);

// What in the data breaks which rule: the check's code of the rule (empty
// for an option), the German reason, and where: the element, the ticket
// and the tip in it, both counted from 1 (0: not in a ticket, not in a tip).
struct dataFault {
    std::string_view code;
    std::string reason;
    std::string_view element;
    std::size_t ticket = 0;
    std::size_t tip = 0;
};

struct writeOptions {
    bool crLf = false; // CR LF line ends, else LF
    std::string comment; // a comment line after the declaration; empty: none
};

// The bytes of a correct file in the canonical layout, or the first fault
// of the data, found before anything is written.
struct written {
    std::string bytes;
    std::optional<dataFault> fault;
};

KAVRIN_EXPORT written write(const ticketFile& data, const writeOptions& how = {});

// The interface version a new file of the game carries ("4.0"); empty for a
// number that names no game.
KAVRIN_EXPORT std::string versionFor(std::uint32_t gameType);

} // namespace kavrin
