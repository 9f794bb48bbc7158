#include "valueRules.h"

#include "codes.h"
#include "number.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>

namespace kavrin::rules {

namespace {

    constexpr const format::element& durationRow = format::row("tnDauer");
    constexpr std::uint32_t widestDuration = durationRow.maximum;
    constexpr const format::element& filterRow = format::row("filter");
    constexpr std::size_t filterCodeLength = filterRow.count;
    constexpr std::uint32_t maximumFilterCodes = filterRow.maximum;
    constexpr const format::element& poolRow = format::row("fenuTipp");
    constexpr std::size_t fenuSymbols = poolRow.count;
    constexpr std::size_t fenuLength = 2 * fenuSymbols - 1;
    constexpr std::size_t fenuSureSymbols = poolRow.minimum; // the first ones may not be '-'
    constexpr std::uint32_t fenuDashes = poolRow.maximum;
    constexpr std::size_t brakelPairs = format::row("brakelTipp").count;
    constexpr std::size_t brakelLength = 3 * brakelPairs - 1;

    bool isDigit(int c) { return c >= '0' && c <= '9'; }

    bool allDigits(std::string_view text)
    {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    }

    bool isCodeCharacter(char c) { return isDigit(c) || (c >= 'A' && c <= 'Z'); }

    bool isOneOf(char c, std::string_view alphabet) { return alphabet.find(c) != std::string_view::npos; }

    // The part of a text from offset on, for a reason, widened to whole
    // characters: a reason never shows half of one.
    std::string_view textFrom(std::string_view text, std::size_t offset, std::size_t length = std::string_view::npos)
    {
        if (offset >= text.size())
            return {};
        const auto continues = [&text](std::size_t at) {
            return at < text.size() && utf8::isContinuation(static_cast<unsigned char>(text[at]));
        };
        std::size_t end = length >= text.size() - offset ? text.size() : offset + length;
        while (offset > 0 && continues(offset))
            --offset;
        while (continues(end))
            ++end;
        return text.substr(offset, end - offset);
    }

    // The character of a text at offset, whole even when it takes several
    // bytes, for a reason.
    std::string_view characterAt(std::string_view text, std::size_t offset)
    {
        const auto lead = offset < text.size() ? static_cast<unsigned char>(text[offset]) : 0;
        return textFrom(text, offset, std::max<std::size_t>(utf8::scanLength(lead), 1));
    }

    // Faults are composed here, away from the loops that check.
    template <class Reason>
    [[gnu::cold, gnu::noinline]] verdict fault(std::size_t offset, std::string_view code, Reason&& reason)
    {
        return valueFault { offset, code, reason() };
    }

    bool isNumberIn(std::string_view text, std::uint32_t minimum, std::uint32_t maximum)
    {
        if (text.empty() || !isDigit(text.front()))
            return false;
        const unsignedConversion number = toUnsigned32(text);
        return !number.overflow && number.end == text.size() && number.value >= minimum && number.value <= maximum;
    }

    [[gnu::cold, gnu::noinline]] verdict numberFault(
        std::string_view element, std::string_view text, std::uint32_t minimum, std::uint32_t maximum)
    {
        if (!allDigits(text))
            return valueFault { 0, codes::notANumber, reasons::notANumber(element, text, minimum, maximum) };
        const unsignedConversion number = toUnsigned32(text);
        const bool tooLarge = number.overflow || number.value > maximum;
        return valueFault { 0, codes::valueOutOfRange,
            reasons::valueOutOfRange(element, text, minimum, maximum, tooLarge) };
    }

    enum class listFailure { shape, separator, range, order, trailing };

    // Names what the number list breaks: the test that failed, told apart by
    // what stands at the number's place.
    [[gnu::cold, gnu::noinline]] valueFault listFault(std::string_view element, std::string_view text,
        listFailure failure, std::size_t place, std::uint32_t index, std::uint32_t count, std::uint32_t maximum)
    {
        const std::size_t p = 3 * std::size_t { index };
        const auto digit = [&text](std::size_t at) { return at < text.size() && isDigit(text[at]); };
        switch (failure) {
        case listFailure::shape:
            if (text.empty())
                return { place, codes::badNumberList, reasons::emptyList(element, count, maximum) };
            if (p >= text.size())
                return { place, codes::badNumberList, reasons::tooFewNumbers(element, index, count) };
            if (digit(p) && digit(p + 1) && (p + 2 >= text.size() || text[p + 2] == ','))
                return { place, codes::numberOutOfRange,
                    reasons::listNumberOutOfRange(element, textFrom(text, p, 2), maximum) };
            return { place, codes::badNumberList,
                reasons::notTwoDigits(element, textFrom(text, p, text.find(',', p) - p), count, maximum) };
        case listFailure::separator:
            if (place >= text.size())
                return { place, codes::badNumberList, reasons::tooFewNumbers(element, index + 1, count) };
            return { place, codes::badNumberList,
                reasons::listSeparator(textFrom(text, p, 2), characterAt(text, place)) };
        case listFailure::range:
            return { place, codes::numberOutOfRange,
                reasons::listNumberOutOfRange(element, textFrom(text, p, 2), maximum) };
        case listFailure::order:
            return { place, codes::numbersNotAscending,
                reasons::listNotAscending(textFrom(text, p, 2), textFrom(text, p - 3, 2)) };
        case listFailure::trailing:
            break;
        }
        return { place, codes::badNumberList, reasons::listTooLong(element, count, textFrom(text, place)) };
    }

} // namespace

verdict numberIn(std::string_view element, std::string_view text, std::uint32_t minimum, std::uint32_t maximum)
{
    if (isNumberIn(text, minimum, maximum))
        return std::nullopt;
    return numberFault(element, text, minimum, maximum);
}

verdict gameType(std::string_view text, game& value)
{
    const bool twoDigits = text.size() == 2 && isDigit(text[0]) && isDigit(text[1]);
    const auto number = twoDigits ? static_cast<std::uint32_t>((text[0] - '0') * 10 + (text[1] - '0')) : 0;
    if (number == numberOf(game::retired) || format::rulesOf(static_cast<game>(number)) != nullptr) {
        value = static_cast<game>(number);
        return std::nullopt;
    }
    return fault(0, codes::unknownGameType, [&] { return reasons::unknownGameType(text); });
}

bool versionFitsGame(std::uint32_t majorVersion, game g)
{
    const format::gameRules* rules = format::rulesOf(g);
    return rules != nullptr && rules->majorVersion == majorVersion;
}

std::uint32_t durationLimit(game g)
{
    if (const format::gameRules* rules = format::rulesOf(g))
        return rules->durationLimit;
    // A game without rules of its own gets the widest of the games.
    std::uint32_t widest = 0;
    for (const format::gameRules& each : format::gameTable)
        widest = std::max(widest, each.durationLimit);
    return widest;
}

verdict duration(std::string_view text, game g)
{
    const std::uint32_t limit = durationLimit(g);
    if (isNumberIn(text, 1, widestDuration) && toUnsigned32(text).value <= limit)
        return std::nullopt;
    if (!allDigits(text))
        return numberFault("tnDauer", text, 1, limit);
    return fault(0, codes::valueOutOfRange, [&] { return reasons::durationOutOfRange(text, numberOf(g), limit); });
}

verdict filter(std::string_view text)
{
    std::size_t pos = 0;
    std::uint32_t count = 0;
    while (pos < text.size()) {
        if (count > 0) {
            if (text[pos] != ',')
                return fault(pos, codes::badFilter, [&] { return reasons::filterSeparator(characterAt(text, pos)); });
            ++pos;
        }
        if (pos == text.size())
            return fault(pos, codes::badFilter, [&] { return reasons::filterTrailingComma(); });
        std::size_t codeEnd = pos;
        while (codeEnd < text.size() && text[codeEnd] != ',') {
            if (!isCodeCharacter(text[codeEnd]))
                return fault(pos, codes::badFilter,
                    [&] { return reasons::filterCodeCharacters(textFrom(text, pos, text.find(',', pos) - pos)); });
            ++codeEnd;
        }
        if (codeEnd - pos != filterCodeLength)
            return fault(pos, codes::badFilter,
                [&] { return reasons::filterCodeLength(textFrom(text, pos, codeEnd - pos), codeEnd - pos); });
        ++count;
        pos += filterCodeLength;
        if (count == maximumFilterCodes) {
            if (pos < text.size())
                return fault(pos, codes::tooManyFilterCodes,
                    [&] { return reasons::tooManyFilterCodes(maximumFilterCodes, textFrom(text, pos)); });
            return std::nullopt;
        }
    }
    return std::nullopt;
}

verdict numberList(std::string_view element, std::string_view text, std::uint32_t count, std::uint32_t maximum)
{
    // Plain locals and direct calls: this is the check's busiest rule.
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t p = 3 * std::size_t { i };
        const int tens = p < size ? static_cast<unsigned char>(data[p]) : -1;
        if (!isDigit(tens) || static_cast<std::uint32_t>(tens - '0') > maximum / 10)
            return listFault(element, text, listFailure::shape, p, i, count, maximum);
        const int ones = p + 1 < size ? static_cast<unsigned char>(data[p + 1]) : -1;
        if (!isDigit(ones))
            return listFault(element, text, listFailure::shape, ones == ',' ? p : p + 1, i, count, maximum);
        if (i + 1 < count && (p + 2 >= size || data[p + 2] != ','))
            return listFault(element, text, listFailure::separator, p + 2, i, count, maximum);
        const auto value = static_cast<std::uint32_t>((tens - '0') * 10 + (ones - '0'));
        if (value < 1 || value > maximum)
            return listFault(element, text, listFailure::range, p, i, count, maximum);
        if (i > 0 && value <= previous)
            return listFault(element, text, listFailure::order, p, i, count, maximum);
        previous = value;
    }
    if (size > 3 * std::size_t { count } - 1)
        return listFault(element, text, listFailure::trailing, 3 * std::size_t { count } - 1, count, count, maximum);
    return std::nullopt;
}

verdict fenuRow(std::string_view text)
{
    const std::size_t length = text.size();
    std::uint32_t dashes = 0;
    for (std::size_t i = 0; i < fenuSymbols; ++i) {
        if (length < (i + 1 < fenuSymbols ? 2 * i + 2 : fenuLength))
            return fault(length, codes::badPoolRow, [&] { return reasons::poolRowTooShort(length); });
        const char symbol = text[2 * i];
        if (symbol == '-')
            ++dashes;
        const bool dashAllowed = i >= fenuSureSymbols && dashes <= fenuDashes;
        if (!isOneOf(symbol, dashAllowed ? "12X-" : "12X")) {
            if (symbol != '-')
                return fault(2 * i, codes::badPoolSymbol,
                    [&] { return reasons::poolSymbol(i + 1, characterAt(text, 2 * i), dashes); });
            if (i < fenuSureSymbols)
                return fault(2 * i, codes::badPoolSymbol, [&] { return reasons::poolDashInFirstFive(i + 1); });
            return fault(2 * i, codes::wrongDashCount, [&] { return reasons::poolSixthDash(i + 1); });
        }
        if (i + 1 < fenuSymbols && text[2 * i + 1] != ',')
            return fault(2 * i + 1, codes::badPoolRow,
                [&] { return reasons::poolSeparator(i + 1, characterAt(text, 2 * i + 1)); });
    }
    if (dashes != fenuDashes)
        return fault(0, codes::wrongDashCount, [&] { return reasons::poolDashCount(dashes); });
    if (length > fenuLength)
        return fault(
            fenuLength, codes::badPoolRow, [&] { return reasons::poolRowTooLong(textFrom(text, fenuLength)); });
    return std::nullopt;
}

verdict brakelTip(std::string_view text)
{
    const std::size_t length = text.size();
    for (std::size_t i = 0; i < brakelPairs; ++i) {
        const std::size_t p = 3 * i;
        if (length < (i + 1 < brakelPairs ? p + 3 : brakelLength))
            return fault(length, codes::badBrakelTip, [&] { return reasons::brakelTooShort(length); });
        if (!isOneOf(text[p], "012+"))
            return fault(p, codes::badBrakelTip, [&] { return reasons::brakelSymbol(i + 1, characterAt(text, p)); });
        if (!isOneOf(text[p + 1], "012+"))
            return fault(
                p + 1, codes::badBrakelTip, [&] { return reasons::brakelSymbol(i + 1, characterAt(text, p + 1)); });
        if (i + 1 < brakelPairs && text[p + 2] != ',')
            return fault(
                p + 2, codes::badBrakelTip, [&] { return reasons::brakelSeparator(i + 1, characterAt(text, p + 2)); });
    }
    if (length > brakelLength)
        return fault(
            brakelLength, codes::badBrakelTip, [&] { return reasons::brakelTooLong(textFrom(text, brakelLength)); });
    return std::nullopt;
}

} // namespace kavrin::rules
