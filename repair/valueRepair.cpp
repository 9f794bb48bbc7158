#include "repairSteps.h"
#include "repairTexts.h"
#include "utf8.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kavrin::repairSteps {

namespace {

    enum class kind { number, list, poolRow, goalScore, filter };

    struct valueElement {
        std::string_view name;
        kind rule;
        std::uint32_t count = 0; // of a number list
        std::uint32_t maximum = 0;
    };

    constexpr valueElement valueElements[] = {
        { "versionsNr", kind::number },
        { "kundenNr", kind::number },
        { "spielID", kind::number },
        { "wsArt", kind::number },
        { "tnDauer", kind::number },
        { "filter", kind::filter },
        { "anzahlWimbelProSchein", kind::number },
        { "maximaleWimbelAnzahl", kind::number },
        { "ziroPlus", kind::number },
        { "ziroTipp", kind::list, 6, 45 },
        { "vexTippZahl", kind::list, 5, 50 },
        { "vexTippStern", kind::list, 2, 12 },
        { "fenuTipp", kind::poolRow },
        { "brakelTipp", kind::goalScore },
    };

    constexpr std::string_view containerElements[] = { "uvra", "wimbel", "schein", "tipp" };

    const valueElement* findValueElement(std::string_view name)
    {
        for (const valueElement& element : valueElements)
            if (element.name == name)
                return &element;
        return nullptr;
    }

    constexpr std::string_view blanks = " \t\r\n";

    bool isBlank(char c) { return blanks.find(c) != std::string_view::npos; }
    bool isDigit(char c) { return c >= '0' && c <= '9'; }

    // A value and the steps that made it from the text found: every change
    // of the value goes through step(), which names it.
    class fixing {
    public:
        explicit fixing(std::string_view found)
            : value(found)
        {
        }
        void step(std::string next, std::string_view what)
        {
            if (next == value)
                return;
            value = std::move(next);
            if (std::find(steps.begin(), steps.end(), what) == steps.end())
                steps.push_back(what);
        }
        std::string value;
        std::vector<std::string_view> steps;
    };

    std::string trimmed(std::string_view text)
    {
        const std::size_t first = text.find_first_not_of(blanks);
        if (first == std::string_view::npos)
            return {};
        return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
    }

    // Blanks beside a comma separate nothing: "01, 02" is "01,02". Only the
    // runs that hold a line break, or only those that do not, go.
    std::string withoutBlanksAtCommas(std::string_view text, bool lineBreaks)
    {
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

    // split and joined are each other's inverse: no comma is lost or made.
    std::vector<std::string> split(const std::string& text)
    {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
            parts.push_back(text.substr(start, comma - start));
        parts.push_back(text.substr(start));
        return parts;
    }

    std::string joined(const std::vector<std::string>& parts)
    {
        std::string text;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                text.push_back(',');
            text += parts[i];
        }
        return text;
    }

    std::size_t commasIn(std::string_view text) { return std::size_t(std::count(text.begin(), text.end(), ',')); }

    // One comma before the first or after the last of as many numbers as
    // the list wants separates nothing; with fewer, a number may be missing.
    std::string withoutLeadingComma(const std::string& text, std::uint32_t count)
    {
        if (text.size() > 1 && text[0] == ',' && text[1] != ',' && commasIn(text) == count)
            return text.substr(1);
        return text;
    }

    std::string withoutTrailingComma(const std::string& text, std::size_t commas)
    {
        if (text.size() > 1 && text.back() == ',' && text[text.size() - 2] != ',' && commasIn(text) == commas)
            return text.substr(0, text.size() - 1);
        return text;
    }

    std::uint32_t twoDigitValue(const std::string& part) { return (part[0] - '0') * 10u + (part[1] - '0'); }

    bool isTwoDigitsUpTo(const std::string& part, std::uint32_t maximum)
    {
        return part.size() == 2 && isDigit(part[0]) && isDigit(part[1]) && twoDigitValue(part) >= 1
            && twoDigitValue(part) <= maximum;
    }

    // A one-digit number gets its leading zero when the number is allowed.
    std::string withLeadingZeros(const std::string& text, std::uint32_t maximum)
    {
        std::vector<std::string> parts = split(text);
        for (std::string& part : parts)
            if (part.size() == 1 && part[0] >= '1' && part[0] <= '9'
                && static_cast<std::uint32_t>(part[0] - '0') <= maximum)
                part.insert(part.begin(), '0');
        return joined(parts);
    }

    // Sorted only when all numbers are allowed, distinct and as many as the
    // list wants.
    std::string sortedList(const std::string& text, const valueElement& element)
    {
        std::vector<std::string> parts = split(text);
        const bool allAllowed = std::all_of(parts.begin(), parts.end(),
            [&](const std::string& part) { return isTwoDigitsUpTo(part, element.maximum); });
        if (!allAllowed || parts.size() != element.count)
            return text;
        std::sort(parts.begin(), parts.end());
        if (std::adjacent_find(parts.begin(), parts.end()) != parts.end())
            return text;
        return joined(parts);
    }

    std::string inCapitals(std::string text, std::string_view letters)
    {
        for (char& c : text)
            if (c >= 'a' && c <= 'z' && letters.find(c) != std::string_view::npos)
                c = static_cast<char>(c - 'a' + 'A');
        return text;
    }

} // namespace

bool hasValueRules(std::string_view element) { return findValueElement(element) != nullptr; }

std::optional<valueFix> repairedValue(std::string_view elementName, std::string_view text)
{
    const valueElement* element = findValueElement(elementName);
    if (element == nullptr)
        return std::nullopt;
    fixing fixed(text);
    fixed.step(trimmed(fixed.value), repairTexts::blanksRemoved);
    if (element->rule != kind::number) {
        fixed.step(withoutBlanksAtCommas(fixed.value, false), repairTexts::blanksRemoved);
        fixed.step(withoutBlanksAtCommas(fixed.value, true), repairTexts::linesJoined);
    }
    switch (element->rule) {
    case kind::number:
    case kind::goalScore:
        break;
    case kind::list:
        fixed.step(withoutLeadingComma(fixed.value, element->count), repairTexts::leadingComma);
        fixed.step(withoutTrailingComma(fixed.value, element->count), repairTexts::trailingComma);
        fixed.step(withLeadingZeros(fixed.value, element->maximum), repairTexts::leadingZero);
        fixed.step(sortedList(fixed.value, *element), repairTexts::sortedAscending);
        break;
    case kind::poolRow:
        fixed.step(inCapitals(fixed.value, "x"), repairTexts::capitals);
        break;
    case kind::filter:
        fixed.step(inCapitals(fixed.value, "abcdefghijklmnopqrstuvwxyz"), repairTexts::capitals);
        // A comma after the last code ends nothing.
        fixed.step(withoutTrailingComma(fixed.value, commasIn(fixed.value)), repairTexts::trailingComma);
        break;
    }
    if (fixed.steps.empty())
        return std::nullopt;
    return valueFix { std::move(fixed.value), std::move(fixed.steps) };
}

std::string_view elementSpelled(std::string_view name)
{
    const auto differsInCaseOnly
        = [name](std::string_view known) { return known != name && utf8::equalIgnoringAsciiCase(known, name); };
    for (const valueElement& element : valueElements)
        if (differsInCaseOnly(element.name))
            return element.name;
    for (const std::string_view known : containerElements)
        if (differsInCaseOnly(known))
            return known;
    return {};
}

} // namespace kavrin::repairSteps
