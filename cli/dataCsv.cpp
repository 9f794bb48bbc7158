#include "codes.h"
#include "dataFields.h"
#include "dataInput.h"
#include "format.h"
#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>
#include <map>

// CSV with one tip a line, as a spreadsheet saves it: a header line of
// NAME=WERT cells naming the game and the header's values, then per line the
// number of the ticket and the fields of one tip, each in a cell of its own.
// Cells are separated by ';', or by ',' when the first line of several
// cells has no ';', and may stand in double quotes.
namespace kavrin::cli {

namespace {

    constexpr char preferredSeparator = ';';
    constexpr char otherSeparator = ',';
    constexpr char quote = '"';
    constexpr char commentMark = '#';
    constexpr char assignment = '=';
    constexpr const format::element& ticketRow = format::row("schein");

    struct failed {
        std::uint32_t line;
        std::string problem;
    };

    std::string column(std::size_t index) { return "Spalte " + reasons::number(index + 1); }

    // The cells of a line, blanks around them taken away; empty cells at
    // the end, as a spreadsheet pads its rows, left out.
    std::vector<std::string> cellsOf(std::string_view line, char separator, std::uint32_t lineNumber)
    {
        std::vector<std::string> cells;
        std::size_t at = 0;
        for (;;) {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
                ++at;
            std::string cell;
            if (at < line.size() && line[at] == quote) {
                for (++at;; ++at) {
                    if (at >= line.size())
                        throw failed { lineNumber,
                            "In " + column(cells.size()) + " fehlt das schließende Anführungszeichen." };
                    if (line[at] == quote && (at + 1 >= line.size() || line[at + 1] != quote))
                        break;
                    at += line[at] == quote ? 1 : 0;
                    cell += line[at];
                }
                ++at;
            }
            const std::size_t end = std::min(line.find(separator, at), line.size());
            std::string_view rest = line.substr(at, end - at);
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
                rest.remove_suffix(1);
            cell += rest;
            cells.push_back(std::move(cell));
            if (end >= line.size())
                break;
            at = end + 1;
        }
        while (!cells.empty() && cells.back().empty())
            cells.pop_back();
        return cells;
    }

    // The values of the header a CSV names: every value outside the tickets.
    bool inHeader(const format::element& e)
    {
        for (const format::element* at = &e; !at->parent.empty(); at = &format::row(at->parent))
            if (at == &ticketRow)
                return false;
        return e.value != format::valueKind::none;
    }

    std::string headerNames()
    {
        std::string names;
        for (const format::element& e : format::elements)
            if (inHeader(e))
                names.append(names.empty() ? "" : ", ").append(e.name);
        return names;
    }

    class csvReader {
    public:
        dataInput in;

        void header(std::string_view line, std::uint32_t number)
        {
            chooseSeparator(line);
            in.lines.header = number;
            for (const std::string& cell : cellsOf(line, separator, number)) {
                if (cell.empty())
                    continue;
                const std::size_t equals = cell.find(assignment);
                const format::element* e = format::find(std::string_view(cell).substr(0, equals));
                if (equals == std::string::npos || e == nullptr || !inHeader(*e))
                    fail(number,
                        "Die Kopfzeile hat Zellen NAME=WERT mit den Namen " + headerNames() + ", gefunden "
                            + reasons::quoted(cell) + ".");
                if (!in.lines.elements.emplace(e->name, number).second)
                    fail(number, reasons::quoted(e->name) + " steht zweimal in der Kopfzeile.");
                headerValue(*e, std::string_view(cell).substr(equals + 1), number);
            }
            const format::element& gameRow = format::row("wsArt");
            if (in.lines.elements.count(gameRow.name) == 0)
                fail(number, "Die Kopfzeile nennt die Spielart: wsArt=47, wsArt=34 oder wsArt=28.");
            if (in.data.version.empty() && in.lines.elements.count(format::row("versionsNr").name) == 0)
                in.data.version = versionFor(in.data.gameType);
            rules = format::rulesOf(static_cast<game>(in.data.gameType));
            if (rules == nullptr)
                fail(number, reasons::unknownGameType(std::to_string(in.data.gameType)));
            // The values of a group come together, as in JSON: one alone
            // is missing its partner, not a partner of 0.
            for (const format::element& e : format::elements)
                if (inHeader(e) && e.parent != format::elements[0].name && e.minOccurs > 0
                    && format::belongsTo(e, rules->id) && in.lines.elements.count(e.name) == 0)
                    for (const format::element& given : format::elements)
                        if (given.parent == e.parent && in.lines.elements.count(given.name) != 0)
                            fail(
                                number, "In " + reasons::element(e.parent) + " fehlt " + reasons::quoted(e.name) + ".");
            for (const format::element& e : format::elements)
                if (e.parent == rules->tip || &e == &format::row(rules->tip))
                    if (e.value != format::valueKind::none)
                        tipParts.push_back(&e);
            for (const format::element& e : format::elements)
                if (e.value == format::valueKind::goalScoreTip && format::belongsTo(e, rules->id))
                    goalScore = &e;
        }

        void tipLine(std::string_view line, std::uint32_t number)
        {
            chooseSeparator(line);
            const std::vector<std::string> cells = cellsOf(line, separator, number);
            const std::optional<std::uint32_t> ticketNumber = cells.empty() ? std::nullopt : wholeNumber(cells[0]);
            if (!ticketNumber || *ticketNumber == 0)
                fail(number,
                    "In Spalte 1 steht die Nummer des Scheins (1, 2, …), gefunden "
                        + reasons::quoted(cells.empty() ? std::string() : cells[0]) + ".");
            const auto [found, isNew] = ticketIndex.emplace(*ticketNumber, in.data.tickets.size());
            if (isNew) {
                in.data.tickets.emplace_back();
                in.lines.tickets.push_back(number);
                in.lines.tips.emplace_back();
                in.lines.goalScoreTips.push_back(0);
            }
            ticket& into = in.data.tickets[found->second];
            const std::size_t fields = cells.size() - 1;
            for (std::size_t i = 1; i < cells.size(); ++i)
                if (cells[i].empty())
                    fail(number, column(i) + " ist leer.");
            std::size_t tipFields = 0;
            for (const format::element* part : tipParts)
                tipFields += part->count;
            if (goalScore != nullptr && fields == goalScore->count) {
                if (!into.goalScoreTip.empty())
                    fail(number, "Schein " + cells[0] + " hat schon einen " + reasons::element(goalScore->name) + ".");
                into.goalScoreTip.assign(cells.begin() + 1, cells.end());
                in.lines.goalScoreTips[found->second] = number;
                return;
            }
            if (fields != tipFields)
                fail(number,
                    "Eine Zeile der " + reasons::game(in.data.gameType) + " hat nach der Nummer des Scheins "
                        + reasons::number(tipFields) + " Felder eines Tipps"
                        + (goalScore != nullptr ? " oder " + reasons::number(goalScore->count) + " Paare der Torwette"
                                                : std::string())
                        + ", diese hat " + reasons::number(fields) + ".");
            in.lines.tips[found->second].push_back(number);
            if (data::hasPoolRows(in.data.gameType)) {
                std::string symbols;
                for (std::size_t i = 1; i < cells.size(); ++i) {
                    if (cells[i].size() != 1)
                        fail(number,
                            column(i) + ": Ein Feld einer Reihe ist ein Zeichen (1, 2, X oder -), gefunden "
                                + reasons::quoted(cells[i]) + ".");
                    symbols += cells[i];
                }
                into.poolRows.push_back(symbols);
                return;
            }
            numberTip tip;
            std::size_t cell = 1;
            for (const format::element* part : tipParts)
                for (std::uint32_t i = 0; i < part->count; ++i, ++cell)
                    (part == &data::starsRow ? tip.stars : tip.numbers).push_back(numberIn(cells, cell, number));
            into.numberTips.push_back(std::move(tip));
        }

    private:
        char separator = 0;
        const format::gameRules* rules = nullptr;
        std::vector<const format::element*> tipParts;
        const format::element* goalScore = nullptr;
        std::map<std::uint32_t, std::size_t> ticketIndex;

        // The first line of several cells says which separates them.
        void chooseSeparator(std::string_view line)
        {
            if (separator == 0 && line.find(preferredSeparator) != std::string_view::npos)
                separator = preferredSeparator;
            else if (separator == 0 && line.find(otherSeparator) != std::string_view::npos)
                separator = otherSeparator;
        }

        [[noreturn]] static void fail(std::uint32_t line, std::string problem)
        {
            throw failed { line, std::move(problem) };
        }

        std::uint32_t numberIn(const std::vector<std::string>& cells, std::size_t at, std::uint32_t line) const
        {
            const std::optional<std::uint32_t> value = wholeNumber(cells[at]);
            if (!value)
                fail(line, column(at) + ": " + reasons::quoted(cells[at]) + " ist keine Zahl.");
            return *value;
        }

        void headerValue(const format::element& e, std::string_view text, std::uint32_t line)
        {
            using format::valueKind;
            if (e.value == valueKind::version) {
                in.data.version = text;
            } else if (e.value == valueKind::filterCodes) {
                in.data.filter.emplace();
                for (std::size_t at = 0; at <= text.size() && !text.empty();) {
                    const std::size_t end = std::min(text.find(',', at), text.size());
                    in.data.filter->emplace_back(text.substr(at, end - at));
                    at = end + 1;
                }
            } else {
                const std::optional<std::uint32_t> value = wholeNumber(text);
                if (!value)
                    fail(line, reasons::quoted(e.name) + ": " + reasons::quoted(text) + " ist keine Zahl.");
                if (e.value == valueKind::gameType)
                    in.data.gameType = *value;
                else
                    data::setNumber(in.data, e, *value);
            }
        }
    };

} // namespace

std::optional<std::uint32_t> wholeNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::uint64_t value = std::stoull(std::string(digits));
    return value <= 0xFFFFFFFFu ? std::optional(static_cast<std::uint32_t>(value)) : std::nullopt;
}

dataInput readCsvData(std::string_view text)
{
    csvReader reader;
    if (text.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark)
        text.remove_prefix(utf8::byteOrderMark.size());
    std::uint32_t number = 0;
    bool headerRead = false;
    try {
        // Lines end in LF, CR LF or, as old spreadsheets save them, CR.
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
            const std::string_view line = text.substr(at, end - at);
            at = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
            ++number;
            if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == commentMark)
                continue;
            if (headerRead) {
                reader.tipLine(line, number);
            } else {
                reader.header(line, number);
                headerRead = true;
            }
        }
        if (!headerRead)
            throw failed { std::max<std::uint32_t>(number, 1), "Die Eingabe hat keine Kopfzeile und keine Tipps." };
    } catch (const failed& fault) {
        reader.in.faultLine = fault.line;
        reader.in.fault = fault.problem;
    }
    return std::move(reader.in);
}

dataInput readDataInput(std::string_view text)
{
    std::string_view start = text.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark
        ? text.substr(utf8::byteOrderMark.size())
        : text;
    const std::size_t first = start.find_first_not_of(kavrin::utf8::blanks);
    return first != std::string_view::npos && start[first] == '{' ? readJsonData(text) : readCsvData(text);
}

std::uint32_t inputLines::lineOf(const dataFault& fault) const
{
    const format::element* e = format::find(fault.element);
    if (fault.ticket > 0 && fault.ticket <= tickets.size()) {
        const std::vector<std::uint32_t>& ticketTips = tips[fault.ticket - 1];
        const std::size_t tip = fault.code == codes::tooManyTips && e != nullptr ? e->maxOccurs + 1 : fault.tip;
        if (tip > 0 && tip <= ticketTips.size())
            return ticketTips[tip - 1];
        if (e != nullptr && e->value == format::valueKind::goalScoreTip && goalScoreTips[fault.ticket - 1] > 0)
            return goalScoreTips[fault.ticket - 1];
        return tickets[fault.ticket - 1];
    }
    if (fault.code == codes::tooManyTickets && tickets.size() > ticketRow.maxOccurs)
        return tickets[ticketRow.maxOccurs];
    const auto found = elements.find(fault.element);
    return found != elements.end() ? found->second : header;
}

} // namespace kavrin::cli
