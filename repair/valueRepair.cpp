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

    std::string trimmed(std::string_view text)
    {
        const std::size_t first = text.find_first_not_of(blanks);
        if (first == std::string_view::npos)
            return {};
        return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
    }

    // Blanks beside a comma separate nothing: "01, 02" is "01,02".
    std::string withoutBlanksAtCommas(std::string_view text)
    {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (isBlank(text[i])) {
                std::size_t end = i;
                while (end < text.size() && isBlank(text[end]))
                    ++end;
                const bool besideComma = (!out.empty() && out.back() == ',') || (end < text.size() && text[end] == ',');
                if (!besideComma)
                    out.append(text.substr(i, end - i));
                i = end - 1;
                continue;
            }
            out.push_back(text[i]);
        }
        return out;
    }

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
        for (const std::string& part : parts) {
            if (!text.empty())
                text.push_back(',');
            text += part;
        }
        return text;
    }

    std::uint32_t twoDigitValue(const std::string& part) { return (part[0] - '0') * 10u + (part[1] - '0'); }

    bool isTwoDigitsUpTo(const std::string& part, std::uint32_t maximum)
    {
        return part.size() == 2 && isDigit(part[0]) && isDigit(part[1]) && twoDigitValue(part) >= 1
            && twoDigitValue(part) <= maximum;
    }

    class steps {
    public:
        void add(std::string_view step)
        {
            if (what.find(step) != std::string::npos)
                return;
            if (!what.empty())
                what += repairTexts::stepSeparator;
            what += step;
        }
        std::string what;
    };

    // A one-digit number gets its leading zero when the number is allowed;
    // the numbers are sorted only when all of them are allowed, distinct and
    // as many as the list wants.
    std::string repairedList(std::string text, const valueElement& element, steps& done)
    {
        // A comma after the last of as many numbers as the list wants ends
        // nothing.
        if (text.size() > 1 && text.back() == ',' && text[text.size() - 2] != ','
            && std::size_t(std::count(text.begin(), text.end(), ',')) == element.count) {
            text.pop_back();
            done.add(repairTexts::trailingComma);
        }
        std::vector<std::string> parts = split(text);
        for (std::string& part : parts)
            if (part.size() == 1 && part[0] >= '1' && part[0] <= '9'
                && static_cast<std::uint32_t>(part[0] - '0') <= element.maximum) {
                part.insert(part.begin(), '0');
                done.add(repairTexts::leadingZero);
            }
        const bool allAllowed = std::all_of(parts.begin(), parts.end(),
            [&](const std::string& part) { return isTwoDigitsUpTo(part, element.maximum); });
        if (allAllowed && parts.size() == element.count && !std::is_sorted(parts.begin(), parts.end())) {
            std::vector<std::string> sorted = parts;
            std::sort(sorted.begin(), sorted.end());
            if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
                parts = std::move(sorted);
                done.add(repairTexts::sortedAscending);
            }
        }
        return joined(parts);
    }

    std::string inCapitals(std::string text, std::string_view letters, steps& done)
    {
        for (char& c : text)
            if (c >= 'a' && c <= 'z' && letters.find(c) != std::string_view::npos) {
                c = static_cast<char>(c - 'a' + 'A');
                done.add(repairTexts::capitals);
            }
        return text;
    }

} // namespace

bool hasValueRules(std::string_view element) { return findValueElement(element) != nullptr; }

std::optional<valueFix> repairedValue(std::string_view elementName, std::string_view text)
{
    const valueElement* element = findValueElement(elementName);
    if (element == nullptr)
        return std::nullopt;
    steps done;
    std::string value = trimmed(text);
    if (element->rule != kind::number)
        value = withoutBlanksAtCommas(value);
    if (value != text)
        done.add(repairTexts::blanksRemoved);
    switch (element->rule) {
    case kind::number:
    case kind::goalScore:
        break;
    case kind::list:
        value = repairedList(std::move(value), *element, done);
        break;
    case kind::poolRow:
        value = inCapitals(std::move(value), "x", done);
        break;
    case kind::filter:
        value = inCapitals(std::move(value), "abcdefghijklmnopqrstuvwxyz", done);
        if (value.size() > 1 && value.back() == ',' && value[value.size() - 2] != ',') {
            value.pop_back();
            done.add(repairTexts::trailingComma);
        }
        break;
    }
    if (value == text)
        return std::nullopt;
    // The first step opens the sentence.
    if (done.what.front() >= 'a' && done.what.front() <= 'z')
        done.what.front() = static_cast<char>(done.what.front() - 'a' + 'A');
    return valueFix { std::move(value), std::move(done.what) };
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
