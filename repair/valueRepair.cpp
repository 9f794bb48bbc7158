#include "format.h"
#include "repairSteps.h"
#include "utf8.h"
#include "valueRules.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace kavrin::repairSteps {

namespace {

    using format::valueKind;

    // The element of a value, from the format table; none for an element of
    // elements or a name the format does not know.
    const format::element* findValueElement(std::string_view name)
    {
        const format::element* found = format::find(name);
        return found != nullptr && found->value != valueKind::none ? found : nullptr;
    }

    // Values whose parts stand between commas.
    bool isList(valueKind kind)
    {
        return kind == valueKind::numberList || kind == valueKind::poolRow || kind == valueKind::goalScoreTip
            || kind == valueKind::filterCodes;
    }

    using utf8::blanks;

    bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    using utf8::isDigit;

    // A fix of a value: the value it makes, or nothing when it finds
    // nothing to do.
    using fix = std::optional<std::string>;

    // A value and the steps that made it from the text found: every change
    // of the value goes through by(), which names it.
    class fixing {
    public:
        explicit fixing(std::string_view found)
            : value(found)
        {
        }
        template <class Fix> void by(step what, Fix&& fixOf)
        {
            fix next = fixOf(std::string_view(value));
            if (!next || *next == value)
                return;
            value = std::move(*next);
            done |= bit(what);
        }
        std::string value;
        steps done = 0;
    };

    fix trimmed(std::string_view text)
    {
        if (text.empty() || (!isBlank(text.front()) && !isBlank(text.back())))
            return std::nullopt;
        const std::size_t first = text.find_first_not_of(blanks);
        if (first == std::string_view::npos)
            return std::string();
        return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
    }

    // Blanks beside a comma separate nothing: "01, 02" is "01,02". Only the
    // runs that hold a line break, or only those that do not, go.
    fix withoutBlanksAtCommas(std::string_view text, bool lineBreaks)
    {
        if (std::none_of(text.begin(), text.end(), isBlank))
            return std::nullopt;
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size();) {
            if (!isBlank(text[i])) {
                out.push_back(text[i++]);
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && isBlank(text[end]))
                ++end;
            const std::string_view run = text.substr(i, end - i);
            const bool besideComma = (i > 0 && text[i - 1] == ',') || (end < text.size() && text[end] == ',');
            if (!besideComma || (run.find('\n') != std::string_view::npos) != lineBreaks)
                out.append(run);
            i = end;
        }
        return out;
    }

    std::size_t commasIn(std::string_view text) { return std::size_t(std::count(text.begin(), text.end(), ',')); }

    // One comma before the first or after the last of as many numbers as
    // the list wants separates nothing; with fewer, a number may be missing.
    fix withoutLeadingComma(std::string_view text, std::uint32_t count)
    {
        if (text.size() > 1 && text[0] == ',' && text[1] != ',' && commasIn(text) == count)
            return std::string(text.substr(1));
        return std::nullopt;
    }

    fix withoutTrailingComma(std::string_view text, std::size_t commas)
    {
        if (text.size() > 1 && text.back() == ',' && text[text.size() - 2] != ',' && commasIn(text) == commas)
            return std::string(text.substr(0, text.size() - 1));
        return std::nullopt;
    }

    bool isTwoDigitsUpTo(std::string_view part, std::uint32_t maximum)
    {
        if (part.size() != 2 || !isDigit(part[0]) || !isDigit(part[1]))
            return false;
        const auto value = static_cast<std::uint32_t>((part[0] - '0') * 10 + (part[1] - '0'));
        return value >= 1 && value <= maximum;
    }

    bool allowedDigit(std::string_view part, std::uint32_t maximum)
    {
        return part.size() == 1 && part[0] >= '1' && part[0] <= '9'
            && static_cast<std::uint32_t>(part[0] - '0') <= maximum;
    }

    // Calls each with every part between commas, empty ones too.
    template <class Each> void forEachPart(std::string_view text, Each&& each)
    {
        for (std::size_t start = 0;;) {
            const std::size_t comma = std::min(text.find(',', start), text.size());
            each(text.substr(start, comma - start));
            if (comma == text.size())
                return;
            start = comma + 1;
        }
    }

    // A one-digit number gets its leading zero when the number is allowed.
    fix withLeadingZeros(std::string_view text, std::uint32_t maximum)
    {
        bool any = false;
        forEachPart(text, [&](std::string_view part) { any = any || allowedDigit(part, maximum); });
        if (!any)
            return std::nullopt;
        std::string out;
        out.reserve(text.size() + text.size() / 2);
        bool first = true;
        forEachPart(text, [&](std::string_view part) {
            if (!std::exchange(first, false))
                out.push_back(',');
            if (allowedDigit(part, maximum))
                out.push_back('0');
            out.append(part);
        });
        return out;
    }

    // Sorted only when all numbers are allowed, distinct and as many as the
    // list wants.
    fix sortedList(std::string_view text, const format::element& element)
    {
        constexpr std::size_t longestList = [] {
            std::size_t most = 0;
            for (const format::element& e : format::elements)
                if (e.value == valueKind::numberList)
                    most = std::max<std::size_t>(most, e.count);
            return most;
        }();
        if (commasIn(text) + 1 != element.count || element.count > longestList)
            return std::nullopt;
        std::array<std::string_view, longestList> parts;
        std::size_t count = 0;
        forEachPart(text, [&](std::string_view part) {
            if (count < longestList)
                parts[count++] = part;
        });
        const auto first = parts.begin();
        const auto last = parts.begin() + static_cast<std::ptrdiff_t>(count);
        const bool allAllowed
            = std::all_of(first, last, [&](std::string_view part) { return isTwoDigitsUpTo(part, element.maximum); });
        if (!allAllowed || std::is_sorted(first, last))
            return std::nullopt;
        // Insertion sort: a list is a handful of numbers.
        for (auto at = first + 1; at < last; ++at)
            for (auto back = at; back > first && *back < *(back - 1); --back)
                std::swap(*back, *(back - 1));
        if (std::adjacent_find(first, last) != last)
            return std::nullopt;
        std::string out;
        out.reserve(text.size());
        for (auto number = first; number < last; ++number) {
            if (!out.empty())
                out.push_back(',');
            out.append(*number);
        }
        return out;
    }

    fix inCapitals(std::string_view text, std::string_view letters)
    {
        const auto small = [&](char c) { return c >= 'a' && c <= 'z' && letters.find(c) != std::string_view::npos; };
        if (std::none_of(text.begin(), text.end(), small))
            return std::nullopt;
        std::string out(text);
        for (char& c : out)
            if (small(c))
                c = static_cast<char>(c - 'a' + 'A');
        return out;
    }

} // namespace

bool hasValueRules(std::string_view element) { return findValueElement(element) != nullptr; }

std::optional<valueFix> repairedValue(std::string_view elementName, std::string_view text)
{
    const format::element* element = findValueElement(elementName);
    if (element == nullptr)
        return std::nullopt;
    // Only the fixes the format table allows the element.
    const auto allows = [element](format::repair what) { return (element->repairs & what) != 0; };
    fixing fixed(text);
    if (allows(format::blanks)) {
        fixed.by(step::blanks, trimmed);
        if (isList(element->value)) {
            fixed.by(step::blanks, [](std::string_view v) { return withoutBlanksAtCommas(v, false); });
            fixed.by(step::lines, [](std::string_view v) { return withoutBlanksAtCommas(v, true); });
        }
    }
    switch (element->value) {
    case valueKind::numberList:
        if (allows(format::strayComma)) {
            fixed.by(step::leadingComma, [&](std::string_view v) { return withoutLeadingComma(v, element->count); });
            fixed.by(step::trailingComma, [&](std::string_view v) { return withoutTrailingComma(v, element->count); });
        }
        if (allows(format::leadingZero))
            fixed.by(step::leadingZero, [&](std::string_view v) { return withLeadingZeros(v, element->maximum); });
        if (allows(format::ascending))
            fixed.by(step::sorted, [&](std::string_view v) { return sortedList(v, *element); });
        break;
    case valueKind::poolRow:
        if (allows(format::capitals))
            fixed.by(step::capitals, [](std::string_view v) { return inCapitals(v, "x"); });
        break;
    case valueKind::filterCodes:
        if (allows(format::capitals))
            fixed.by(step::capitals, [](std::string_view v) { return inCapitals(v, "abcdefghijklmnopqrstuvwxyz"); });
        // A comma after the last code ends nothing.
        if (allows(format::strayComma))
            fixed.by(step::trailingComma, [](std::string_view v) { return withoutTrailingComma(v, commasIn(v)); });
        break;
    default:
        break;
    }
    if (fixed.done == 0)
        return std::nullopt;
    return valueFix { std::move(fixed.value), fixed.done };
}

std::optional<bool> keepsOwnRule(std::string_view elementName, std::string_view text)
{
    const format::element* element = findValueElement(elementName);
    if (element == nullptr)
        return std::nullopt;
    switch (element->value) {
    case valueKind::numberList:
        return !rules::numberList(element->name, text, element->count, element->maximum);
    case valueKind::poolRow:
        return !rules::fenuRow(text);
    case valueKind::goalScoreTip:
        return !rules::brakelTip(text);
    case valueKind::filterCodes:
        return !rules::filter(text);
    default:
        return std::nullopt;
    }
}

std::string_view elementSpelled(std::string_view name)
{
    const auto differsInCaseOnly
        = [name](std::string_view known) { return utf8::equalIgnoringAsciiCase(known, name) && known != name; };
    for (const format::element& element : format::elements)
        if (differsInCaseOnly(element.name))
            return element.name;
    return {};
}

} // namespace kavrin::repairSteps
