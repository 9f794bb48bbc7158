#include "dataFields.h"

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
