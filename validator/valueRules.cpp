#include "valueRules.h"

#include "codes.h"
#include "number.h"
#include "reasonText.h"
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

    using utf8::isDigit;

    bool allDigits(std::string_view text)
    {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    }

    bool isCodeCharacter(char c) { return isDigit(c) || (c >= 'A' && c <= 'Z'); }

    bool isOneOf(char c, std::string_view alphabet) { return alphabet.find(c) != std::string_view::npos; }

    using utf8::wholeCharacters;

    // The character of a text at offset, whole even when it takes several
    // bytes, for a reason.
    std::string_view characterAt(std::string_view text, std::size_t offset)
    {
        const auto lead = offset < text.size() ? static_cast<unsigned char>(text[offset]) : 0;
        return wholeCharacters(text, offset, std::max<std::size_t>(utf8::scanLength(lead), 1));
    }

    // Faults are composed here, away from the loops that check.
    template <class Reason>
    [[gnu::cold, gnu::noinline]] verdict fault(std::size_t offset, std::string_view code, Reason&& reason)
    {
        return valueFault { offset, code, reason() };
    }

    // A value that keeps its rule once the blanks and line breaks around it
    // are gone: those are what its reason names.
    template <class Rule>
    [[gnu::cold, gnu::noinline]] verdict nameBlanks(
        valueFault found, std::string_view element, std::string_view text, Rule&& rule)
    {
        const std::string_view bare = reasons::trimmed(text);
        if (!bare.empty() && bare.size() != text.size() && !rule(bare))
            found.reason = reasons::blanksAroundValue(element, text);
        return found;
    }

    template <class Rule>
    [[gnu::always_inline]] inline verdict namingBlanks(
        verdict found, std::string_view element, std::string_view text, Rule&& rule)
    {
        if (!found) [[likely]]
            return std::nullopt;
        return nameBlanks(std::move(*found), element, text, rule);
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
        // The number from its start up to the next comma.
        const auto numberAt = [&text](std::size_t at) { return wholeCharacters(text, at, text.find(',', at) - at); };
        switch (failure) {
        case listFailure::shape:
            if (text.empty())
                return { place, codes::badNumberList, reasons::emptyList(element, count, maximum) };
            if (p >= text.size())
                return { place, codes::badNumberList, reasons::tooFewNumbers(element, index, count) };
            if (digit(p) && digit(p + 1) && (p + 2 >= text.size() || text[p + 2] == ','))
                return { place, codes::numberOutOfRange,
                    reasons::listNumberOutOfRange(element, wholeCharacters(text, p, 2), maximum) };
            return { place, codes::badNumberList, reasons::notTwoDigits(element, numberAt(p), count, maximum) };
        case listFailure::separator:
            if (place >= text.size())
                return { place, codes::badNumberList, reasons::tooFewNumbers(element, index + 1, count) };
            if (digit(place))
                return { place, codes::badNumberList, reasons::notTwoDigits(element, numberAt(p), count, maximum) };
            return { place, codes::badNumberList,
                reasons::listSeparator(wholeCharacters(text, p, 2), characterAt(text, place)) };
        case listFailure::range:
            return { place, codes::numberOutOfRange,
                reasons::listNumberOutOfRange(element, wholeCharacters(text, p, 2), maximum) };
        case listFailure::order:
            return { place, codes::numbersNotAscending,
                reasons::listNotAscending(wholeCharacters(text, p, 2), wholeCharacters(text, p - 3, 2)) };
        case listFailure::trailing:
            break;
        }
        // A digit after the last number makes it longer than two digits.
        if (digit(place))
            return { place, codes::badNumberList, reasons::notTwoDigits(element, numberAt(place - 2), count, maximum) };
        return { place, codes::badNumberList, reasons::listTooLong(element, count, wholeCharacters(text, place)) };
    }

} // namespace

verdict numberIn(std::string_view element, std::string_view text, std::uint32_t minimum, std::uint32_t maximum)
{
    if (isNumberIn(text, minimum, maximum))
        return std::nullopt;
    return namingBlanks(numberFault(element, text, minimum, maximum), element, text,
        [&](std::string_view bare) { return numberIn(element, bare, minimum, maximum); });
}

verdict gameType(std::string_view text, game& value)
{
    const bool twoDigits = text.size() == 2 && isDigit(text[0]) && isDigit(text[1]);
    const auto number = twoDigits ? static_cast<std::uint32_t>((text[0] - '0') * 10 + (text[1] - '0')) : 0;
    if (number == numberOf(game::retired) || format::rulesOf(static_cast<game>(number)) != nullptr) {
        value = static_cast<game>(number);
        return std::nullopt;
    }
    return namingBlanks(fault(0, codes::unknownGameType, [&] { return reasons::unknownGameType(text); }), "wsArt", text,
        [](std::string_view bare) {
            game known = game::none;
            return gameType(bare, known);
        });
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
        return namingBlanks(numberFault("tnDauer", text, 1, limit), "tnDauer", text,
            [g](std::string_view bare) { return duration(bare, g); });
    return fault(0, codes::valueOutOfRange, [&] { return reasons::durationOutOfRange(text, numberOf(g), limit); });
}

namespace {

    verdict filterRule(std::string_view text)
    {
        std::size_t pos = 0;
        std::uint32_t count = 0;
        while (pos < text.size()) {
            if (count > 0) {
                if (text[pos] != ',')
                    return fault(pos, codes::badFilter, [&] {
                        return reasons::filterSeparator(
                            characterAt(text, pos), wholeCharacters(text, pos - filterCodeLength, filterCodeLength));
                    });
                ++pos;
            }
            if (pos == text.size())
                return fault(pos, codes::badFilter, [&] { return reasons::filterTrailingComma(); });
            std::size_t codeEnd = pos;
            while (codeEnd < text.size() && text[codeEnd] != ',') {
                if (!isCodeCharacter(text[codeEnd]))
                    return fault(pos, codes::badFilter, [&] {
                        return reasons::filterCodeCharacters(wholeCharacters(text, pos, text.find(',', pos) - pos));
                    });
                ++codeEnd;
            }
            if (codeEnd == pos)
                return fault(pos, codes::badFilter, [&] { return reasons::filterEmptyCode(pos == 0); });
            if (codeEnd - pos != filterCodeLength)
                return fault(pos, codes::badFilter, [&] {
                    return reasons::filterCodeLength(wholeCharacters(text, pos, codeEnd - pos), codeEnd - pos);
                });
            ++count;
            pos += filterCodeLength;
            if (count == maximumFilterCodes) {
                if (pos < text.size())
                    return fault(pos, codes::tooManyFilterCodes,
                        [&] { return reasons::tooManyFilterCodes(maximumFilterCodes, wholeCharacters(text, pos)); });
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // On the hot path of every tip: inlined into its public rule.
    [[gnu::always_inline]] inline verdict numberListRule(
        std::string_view element, std::string_view text, std::uint32_t count, std::uint32_t maximum)
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
            return listFault(
                element, text, listFailure::trailing, 3 * std::size_t { count } - 1, count, count, maximum);
        return std::nullopt;
    }

    // On the hot path of every tip: inlined into its public rule.
    [[gnu::always_inline]] inline verdict fenuRule(std::string_view text)
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
            return fault(fenuLength, codes::badPoolRow,
                [&] { return reasons::poolRowTooLong(wholeCharacters(text, fenuLength)); });
        return std::nullopt;
    }

    // On the hot path of every tip: inlined into its public rule.
    [[gnu::always_inline]] inline verdict brakelRule(std::string_view text)
    {
        const std::size_t length = text.size();
        for (std::size_t i = 0; i < brakelPairs; ++i) {
            const std::size_t p = 3 * i;
            if (length < (i + 1 < brakelPairs ? p + 3 : brakelLength))
                return fault(length, codes::badBrakelTip, [&] { return reasons::brakelTooShort(length); });
            if (!isOneOf(text[p], "012+"))
                return fault(
                    p, codes::badBrakelTip, [&] { return reasons::brakelSymbol(i + 1, characterAt(text, p), false); });
            if (!isOneOf(text[p + 1], "012+"))
                return fault(p + 1, codes::badBrakelTip,
                    [&] { return reasons::brakelSymbol(i + 1, characterAt(text, p + 1), true); });
            if (i + 1 < brakelPairs && text[p + 2] != ',')
                return fault(p + 2, codes::badBrakelTip,
                    [&] { return reasons::brakelSeparator(i + 1, characterAt(text, p + 2)); });
        }
        if (length > brakelLength)
            return fault(brakelLength, codes::badBrakelTip,
                [&] { return reasons::brakelTooLong(wholeCharacters(text, brakelLength)); });
        return std::nullopt;
    }

} // namespace

verdict filter(std::string_view text) { return namingBlanks(filterRule(text), "filter", text, filterRule); }

verdict numberList(std::string_view element, std::string_view text, std::uint32_t count, std::uint32_t maximum)
{
    return namingBlanks(numberListRule(element, text, count, maximum), element, text,
        [&](std::string_view bare) { return numberListRule(element, bare, count, maximum); });
}

verdict fenuRow(std::string_view text) { return namingBlanks(fenuRule(text), "fenuTipp", text, fenuRule); }

verdict brakelTip(std::string_view text) { return namingBlanks(brakelRule(text), "brakelTipp", text, brakelRule); }

} // namespace kavrin::rules
