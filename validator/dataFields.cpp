#include "dataFields.h"

#include "codes.h"
#include "number.h"
#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>

namespace kavrin::data {

namespace {

    // The header's numbers that stand in the file's data itself.
    struct headerNumber {
        std::string_view element;
        std::optional<std::uint32_t> ticketFile::*member;
    };
    constexpr headerNumber headerNumbers[] = {
        { "kundenNr", &ticketFile::customerNumber },
        { "spielID", &ticketFile::gameId },
        { "tnDauer", &ticketFile::duration },
        { "ziroPlus", &ticketFile::ziroPlus },
    };
    constexpr const format::element& wimbelRow = format::row("wimbel");
    constexpr const format::element& perTicketRow = format::row("anzahlWimbelProSchein");

    // The characters a version may not hold: a reader of XML takes them as
    // markup.
    constexpr std::string_view notInVersion = "<&";

    std::string versionCharacters(std::string_view version)
    {
        return "<versionsNr> " + reasons::quoted(version, 16)
            + " enthält ein Zeichen, das in keinem Wert stehen kann: ein Steuerzeichen, „<“, „&“ oder kein UTF-8.";
    }

    template <class File> auto* memberOf(File& data, const format::element& e)
    {
        for (const headerNumber& each : headerNumbers)
            if (each.element == e.name)
                return &(data.*each.member);
        return static_cast<decltype(&(data.*headerNumbers[0].member))>(nullptr);
    }

} // namespace

std::optional<std::uint32_t> numberOf(const ticketFile& data, const format::element& e)
{
    if (e.parent == wimbelRow.name) {
        if (!data.wimbel)
            return std::nullopt;
        return &e == &perTicketRow ? std::optional(data.wimbel->perTicket) : data.wimbel->most;
    }
    const auto* member = memberOf(data, e);
    return member != nullptr ? *member : std::nullopt;
}

void setNumber(ticketFile& data, const format::element& e, std::uint32_t value)
{
    if (e.parent == wimbelRow.name) {
        wimbelData& wimbel = data.wimbel ? *data.wimbel : data.wimbel.emplace();
        (&e == &perTicketRow ? wimbel.perTicket : wimbel.most.emplace()) = value;
    } else if (auto* member = memberOf(data, e)) {
        *member = value;
    }
}

rules::verdict ruleOf(const format::element& e, std::string_view text, std::uint32_t gameType, std::string_view version)
{
    using format::valueKind;
    const game g = static_cast<game>(gameType);
    switch (e.value) {
    case valueKind::version:
        if (!plainText(text, notInVersion))
            return rules::valueFault { 0, {}, versionCharacters(text) };
        if (!rules::versionFitsGame(toUnsigned32(text).value, g))
            return rules::valueFault { 0, codes::versionMismatch, reasons::versionMismatch(text, gameType) };
        return std::nullopt;
    case valueKind::gameType: {
        game named = game::none;
        if (rules::verdict fault = rules::gameType(text, named))
            return fault;
        if (format::rulesOf(named) == nullptr)
            return rules::valueFault { 0, codes::unknownGameType, reasons::unknownGameType(text) };
        return std::nullopt;
    }
    case valueKind::number:
        if (e.sinceVersion > toUnsigned32(version).value)
            return rules::valueFault { 0, codes::ziroPlusNeedsVersion4,
                reasons::ziroPlusNeedsVersion4(version, numberOf(g)) };
        return rules::numberIn(e.name, text, e.minimum, e.maximum);
    case valueKind::duration:
        return rules::duration(text, g);
    case valueKind::filterCodes:
        return rules::filter(text);
    case valueKind::numberList:
        return rules::numberList(e.name, text, e.count, e.maximum);
    case valueKind::poolRow:
        return rules::fenuRow(text);
    case valueKind::goalScoreTip:
        return rules::brakelTip(text);
    case valueKind::none:
        break;
    }
    return std::nullopt;
}

bool plainText(std::string_view text, std::string_view forbidden)
{
    for (std::size_t at = 0; at < text.size();) {
        const utf8::step character = utf8::next(text, at);
        if (!character.valid || character.value < 0x20 || (character.value >= 0x7F && character.value <= 0x9F)
            || (character.value < 0x80 && forbidden.find(static_cast<char>(character.value)) != forbidden.npos))
            return false;
        at += character.length;
    }
    return true;
}

bool hasPoolRows(std::uint32_t gameType)
{
    const format::gameRules* rules = format::rulesOf(static_cast<game>(gameType));
    return rules != nullptr && format::row(rules->tip).value == format::valueKind::poolRow;
}

// Two digits each, in ascending order; a number of more digits is written
// as it is, for the list's rule to name.
std::string listText(std::vector<std::uint32_t> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    std::string text;
    for (const std::uint32_t number : numbers) {
        if (!text.empty())
            text += ',';
        if (number < 10)
            text += '0';
        text += std::to_string(number);
    }
    return text;
}

std::vector<std::uint32_t> listValues(std::string_view text)
{
    std::vector<std::uint32_t> numbers;
    for (std::size_t at = 0; at + 1 < text.size(); at += 3)
        numbers.push_back(static_cast<std::uint32_t>((text[at] - '0') * 10 + (text[at + 1] - '0')));
    return numbers;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text.append(i > 0 ? "," : "").append(parts[i]);
    return text;
}

std::vector<std::string> split(std::string_view text, std::size_t each)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < text.size(); at += each + 1)
        parts.emplace_back(text.substr(at, each));
    return parts;
}

std::string rowText(std::string_view symbols)
{
    std::string text;
    for (const char symbol : symbols)
        text.append(text.empty() ? "" : ",").append(1, symbol);
    return text;
}

std::string rowSymbols(std::string_view text)
{
    std::string symbols;
    for (std::size_t at = 0; at < text.size(); at += 2)
        symbols += text[at];
    return symbols;
}

} // namespace kavrin::data
