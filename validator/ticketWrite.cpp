#include "codes.h"
#include "dataFields.h"
#include "layout.h"
#include "reasonText.h"
#include "reasons.h"
#include "ticketData.h"
#include "valueRules.h"

#include <string>

// A file made from data: each value held to the rule the check holds it to,
// the elements in the table's order and counts, in the canonical layout. A
// text that keeps its rule in that place is one the check accepts, so the
// file is correct by construction; the tests check that it is.
namespace kavrin {

namespace {

    // The minor version of a new file.
    constexpr std::string_view newMinorVersion = ".0";
    // Where in the data a fault lies, before its reason.
    constexpr std::string_view ticketWord = "Schein ";
    constexpr std::string_view tipWord = ", Tipp ";
    constexpr std::string_view afterPlace = ": ";
    constexpr std::string_view noNumberTips = "keine Zahlentipps";

    constexpr const format::element& rootRow = format::row("uvra");
    constexpr const format::element& ticketRow = format::row("schein");

    std::string ticketsMissing() { return "Die Datei braucht mindestens einen <schein>."; }

    std::string tooManyTickets(std::uint32_t limit, std::size_t given)
    {
        return "Eine Datei hat höchstens " + reasons::number(limit) + " Scheine, diese Daten haben "
            + reasons::number(given) + ". Bitte auf zwei Dateien verteilen.";
    }

    std::string tipsMissing(std::uint32_t gameType, std::string_view tip)
    {
        return "Ein <schein> der " + reasons::game(gameType) + " braucht mindestens einen " + reasons::element(tip)
            + ".";
    }

    // what: "keine Zahlentipps", "kein <fenuTipp>"
    std::string notInGame(std::string_view what, std::uint32_t gameType)
    {
        return "In der " + reasons::game(gameType) + " gibt es " + std::string(what) + ".";
    }

    std::string noElement(const format::element& e) { return "kein " + reasons::element(e.name); }

    std::string fieldCount(std::string_view element, std::uint32_t count, std::size_t given)
    {
        return "Eine " + reasons::element(element) + "-Reihe hat " + reasons::number(count) + " Felder, diese hat "
            + reasons::number(given) + ".";
    }

    std::string pairCount(std::string_view element, std::uint32_t count, std::size_t given)
    {
        return reasons::element(element) + " hat " + reasons::number(count) + " Paare, hier sind es "
            + reasons::number(given) + ".";
    }

    std::string pairWidth(std::string_view element, std::size_t pair, std::string_view found)
    {
        return "Jedes Paar von " + reasons::element(element) + " hat zwei Zeichen; das " + reasons::number(pair)
            + ". ist " + reasons::quoted(found) + ".";
    }

    std::string badComment()
    {
        return "Ein Kommentar steht auf einer Zeile, ohne „--“, ohne „-“ am Ende und ohne Steuerzeichen, in UTF-8.";
    }

    struct faultFound {
        dataFault fault;
    };

    class fileWriter {
    public:
        fileWriter(const ticketFile& data, const writeOptions& how)
            : data(data)
            , lineEnd(layout::textOf(how.crLf ? layout::lineEnd::crLf : layout::lineEnd::lf))
            , rules(format::rulesOf(static_cast<game>(data.gameType)))
        {
            if (rules == nullptr)
                fail(codes::unknownGameType, reasons::unknownGameType(std::to_string(data.gameType)),
                    format::row("wsArt"));
            const std::string_view dashes = "--";
            if (!data::plainText(how.comment, {}) || how.comment.find(dashes) != std::string::npos
                || (!how.comment.empty() && how.comment.back() == dashes.front()))
                fail({}, badComment(), std::string_view());
            out.append(layout::declaration).append(lineEnd);
            if (!how.comment.empty())
                out.append(layout::commentStart).append(how.comment).append(layout::commentEnd).append(lineEnd);
        }

        std::string file()
        {
            open(rootRow);
            writeChildren(rootRow);
            close(rootRow);
            if (out.size() > maximumFileSize)
                fail(codes::fileTooLarge, reasons::fileTooLarge(out.size(), maximumFileSize, true), rootRow);
            return std::move(out);
        }

    private:
        const ticketFile& data;
        std::string_view lineEnd;
        const format::gameRules* rules;
        std::string out;
        // Where the writer is, counted from 1; 0 outside tickets and tips.
        std::size_t ticketNumber = 0;
        std::size_t tipNumber = 0;

        game gameOf() const { return rules->id; }

        [[noreturn]] void fail(std::string_view code, std::string reason, const format::element& e) const
        {
            fail(code, std::move(reason), e.name);
        }

        [[noreturn]] void fail(std::string_view code, std::string reason, std::string_view element) const
        {
            std::string place;
            if (ticketNumber > 0)
                place.append(ticketWord).append(std::to_string(ticketNumber));
            if (tipNumber > 0)
                place.append(tipWord).append(std::to_string(tipNumber));
            if (!place.empty())
                place.append(afterPlace);
            throw faultFound { { code, place + reason, element, ticketNumber, tipNumber } };
        }

        void check(const format::element& e, rules::verdict fault) const
        {
            if (fault)
                fail(fault->code, std::move(fault->reason), e);
        }

        void indent(const format::element& e)
        {
            for (std::size_t level = layout::depthOf(e); level > 0; --level)
                out.append(layout::indentUnit);
        }

        void open(const format::element& e)
        {
            indent(e);
            out.append("<").append(e.name).append(">").append(lineEnd);
        }

        void close(const format::element& e)
        {
            indent(e);
            out.append("</").append(e.name).append(">").append(lineEnd);
        }

        void line(const format::element& e, std::string_view text)
        {
            indent(e);
            out.append("<").append(e.name).append(">").append(text);
            out.append("</").append(e.name).append(">").append(lineEnd);
        }

        // The children of an element in the table's order: values, groups
        // and the tickets.
        void writeChildren(const format::element& parent)
        {
            for (const format::element& e : format::elements) {
                if (e.parent != parent.name || !format::belongsTo(e, gameOf()))
                    continue;
                if (&e == &ticketRow)
                    writeTickets();
                else if (layout::onOneLine(e)) {
                    if (const std::optional<std::string> text = headerValue(e))
                        line(e, *text);
                } else if (data.wimbel) { // the header's one group
                    open(e);
                    writeChildren(e);
                    close(e);
                }
            }
        }

        // The text of a value of the header, held to its rule; none for an
        // optional value the data does not have.
        std::optional<std::string> headerValue(const format::element& e) const
        {
            using format::valueKind;
            switch (e.value) {
            case valueKind::version:
                check(e, data::ruleOf(e, data.version, data.gameType, data.version));
                return data.version;
            case valueKind::gameType:
                return std::to_string(data.gameType);
            case valueKind::number:
            case valueKind::duration: {
                const std::optional<std::uint32_t> value = data::numberOf(data, e);
                if (!value)
                    return std::nullopt;
                const std::string text = std::to_string(*value);
                check(e, data::ruleOf(e, text, data.gameType, data.version));
                return text;
            }
            case valueKind::filterCodes:
                if (!data.filter)
                    return std::nullopt;
                for (const std::string& code : *data.filter) {
                    if (code.empty())
                        fail(codes::badFilter, reasons::filterCodeLength(code, 0), e);
                    if (code.find(',') != std::string::npos)
                        fail(codes::badFilter, reasons::filterCodeCharacters(code), e);
                }
                check(e, data::ruleOf(e, data::joined(*data.filter), data.gameType, data.version));
                return data::joined(*data.filter);
            default:
                return std::nullopt;
            }
        }

        void writeTickets()
        {
            if (data.tickets.size() < ticketRow.minOccurs)
                fail(codes::unexpectedElement, ticketsMissing(), ticketRow);
            if (data.tickets.size() > ticketRow.maxOccurs)
                fail(codes::tooManyTickets, tooManyTickets(ticketRow.maxOccurs, data.tickets.size()), ticketRow);
            for (const ticket& each : data.tickets) {
                ++ticketNumber;
                open(ticketRow);
                writeTips(each);
                close(ticketRow);
            }
            ticketNumber = 0;
        }

        // The game's tips, then what follows them: a goal-score tip.
        void writeTips(const ticket& given)
        {
            const format::element& tip = format::row(rules->tip);
            const bool poolRows = data::hasPoolRows(data.gameType);
            if (poolRows ? !given.numberTips.empty() : !given.poolRows.empty())
                fail(codes::unexpectedElement,
                    notInGame(poolRows ? std::string(noNumberTips) : noElement(format::row("fenuTipp")), data.gameType),
                    tip);
            const std::size_t count = poolRows ? given.poolRows.size() : given.numberTips.size();
            if (count < tip.minOccurs)
                fail(codes::noTips, tipsMissing(data.gameType, tip.name), tip);
            if (count > tip.maxOccurs)
                fail(codes::tooManyTips, reasons::tooManyTips(data.gameType, tip.maxOccurs, tip.name), tip);
            for (std::size_t i = 0; i < count; ++i) {
                tipNumber = i + 1;
                if (poolRows)
                    writeRow(tip, given.poolRows[i]);
                else
                    writeNumberTip(tip, given.numberTips[i]);
            }
            tipNumber = 0;
            if (given.goalScoreTip.empty())
                return;
            for (const format::element& e : format::elements) {
                if (e.value != format::valueKind::goalScoreTip)
                    continue;
                if (!format::belongsTo(e, gameOf()))
                    fail(codes::unexpectedElement, notInGame(noElement(e), data.gameType), e);
                writeGoalScoreTip(e, given.goalScoreTip);
            }
        }

        // A tip of numbers: one list, or a group of the numbers and the stars.
        void writeNumberTip(const format::element& tip, const numberTip& given)
        {
            if (layout::onOneLine(tip)) {
                if (!given.stars.empty())
                    fail(codes::unexpectedElement, notInGame(noElement(data::starsRow), data.gameType), data::starsRow);
                writeList(tip, given.numbers);
                return;
            }
            open(tip);
            for (const format::element& e : format::elements)
                if (e.parent == tip.name)
                    writeList(e, &e == &data::starsRow ? given.stars : given.numbers);
            close(tip);
        }

        // A number out of range is named as it is: in the list's text, one
        // of three digits would read as another number.
        void writeList(const format::element& e, const std::vector<std::uint32_t>& numbers)
        {
            for (const std::uint32_t number : numbers)
                if (number < 1 || number > e.maximum)
                    fail(codes::numberOutOfRange,
                        reasons::listNumberOutOfRange(e.name, reasons::twoDigits(number), e.maximum), e);
            const std::string text = data::listText(numbers);
            check(e, data::ruleOf(e, text, data.gameType, data.version));
            line(e, text);
        }

        void writeRow(const format::element& e, const std::string& symbols)
        {
            if (symbols.size() != e.count)
                fail(codes::badPoolRow, fieldCount(e.name, e.count, symbols.size()), e);
            const std::string text = data::rowText(symbols);
            check(e, data::ruleOf(e, text, data.gameType, data.version));
            line(e, text);
        }

        void writeGoalScoreTip(const format::element& e, const std::vector<std::string>& pairs)
        {
            if (pairs.size() != e.count)
                fail(codes::badBrakelTip, pairCount(e.name, e.count, pairs.size()), e);
            for (std::size_t i = 0; i < pairs.size(); ++i)
                if (pairs[i].size() != data::pairWidth)
                    fail(codes::badBrakelTip, pairWidth(e.name, i + 1, pairs[i]), e);
            const std::string text = data::joined(pairs);
            check(e, data::ruleOf(e, text, data.gameType, data.version));
            line(e, text);
        }
    };

} // namespace

written write(const ticketFile& data, const writeOptions& how)
{
    written out;
    try {
        fileWriter writer(data, how);
        out.bytes = writer.file();
    } catch (faultFound& found) {
        out.fault = std::move(found.fault);
    }
    return out;
}

std::string versionFor(std::uint32_t gameType)
{
    const format::gameRules* rules = format::rulesOf(static_cast<game>(gameType));
    return rules != nullptr ? std::to_string(rules->majorVersion).append(newMinorVersion) : std::string();
}

} // namespace kavrin
