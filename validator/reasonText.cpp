#include "reasonText.h"

#include "format.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>
#include <vector>

namespace kavrin::reasons {

namespace {

    constexpr std::string_view openQuote = "„";
    constexpr std::string_view closeQuote = "“";
    constexpr std::string_view ellipsis = "…";

    std::size_t charactersIn(std::string_view text)
    {
        std::size_t count = 0;
        for (const char c : text)
            count += !utf8::isContinuation(static_cast<unsigned char>(c));
        return count;
    }

} // namespace

std::string number(std::uint64_t value) { return std::to_string(value); }

std::string grouped(std::uint64_t value)
{
    const std::string digits = number(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back('.');
        out.push_back(digits[i]);
    }
    return out;
}

std::string twoDigits(std::uint32_t value) { return (value < 10 ? "0" : "") + number(value); }

std::string hexByte(int byte) { return "0x" + utf8::hex(static_cast<std::uint32_t>(byte) & 0xFF, 2); }

std::string escaped(std::string_view value, std::size_t budget)
{
    // Each character of the value counts one against the budget; a named
    // one shows longer, so the shown text may run to half as much again.
    std::string out;
    std::size_t taken = 0;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < value.size();) {
        const auto byte = static_cast<unsigned char>(value[i]);
        // Printable ASCII, most of any value, shows as it is.
        if (byte >= 0x20 && byte < 0x7F) {
            ++shown;
            if (++taken > budget || (taken > 1 && shown > budget + budget / 2)) {
                out += ellipsis;
                break;
            }
            out.push_back(value[i++]);
            continue;
        }
        const bool crLf = byte == '\r' && i + 1 < value.size() && value[i + 1] == '\n';
        const std::size_t length = crLf ? 2 : utf8::wellFormedLength(value, i);
        const char32_t c = length == 0 || crLf ? 0 : utf8::decode(value, i, length);
        std::size_t consumed = length == 0 ? 1 : length;
        std::string piece;
        if (byte == '\n' || crLf) {
            piece = "[Zeilenumbruch]";
        } else if (byte == '\t') {
            piece = "[Tabulator]";
        } else if (length == 0 || byte < 0x20 || byte == 0x7F) {
            // A run of one control byte, as a file of NUL bytes has, is one
            // piece; the bytes of a broken sequence stay apart.
            std::size_t run = 1;
            while (length != 0 && i + run < value.size() && value[i + run] == value[i])
                ++run;
            if (run > 1) {
                piece = "[" + number(run) + " Bytes " + hexByte(byte) + "]";
                consumed = run;
            } else {
                piece = "[Byte " + hexByte(byte) + "]";
            }
        } else if (!utf8::hiddenCharacterName(c).empty()) {
            piece = utf8::describe(c);
        } else {
            piece = std::string(value.substr(i, length));
        }
        shown += charactersIn(piece);
        if (++taken > budget || (taken > 1 && shown > budget + budget / 2)) {
            out += ellipsis;
            break;
        }
        out += piece;
        i += consumed;
    }
    return out;
}

spokenBlanks blanks(std::string_view run)
{
    std::uint64_t lineBreaks = 0;
    std::uint64_t spaces = 0;
    std::uint64_t tabs = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        // CR LF is one line break, as a lone CR or LF is.
        lineBreaks += run[i] == '\n' || (run[i] == '\r' && (i + 1 == run.size() || run[i + 1] != '\n'));
        spaces += run[i] == ' ';
        tabs += run[i] == '\t';
    }
    const auto counted = [](std::uint64_t count, std::string_view one, std::string_view many) {
        return count == 1 ? "ein " + std::string(one) : number(count) + " " + std::string(many);
    };
    std::vector<std::string> kinds;
    if (lineBreaks > 0)
        kinds.push_back(counted(lineBreaks, "Zeilenumbruch", "Zeilenumbrüche"));
    if (spaces > 0)
        kinds.push_back(counted(spaces, "Leerzeichen", "Leerzeichen"));
    if (tabs > 0)
        kinds.push_back(counted(tabs, "Tabulator", "Tabulatoren"));
    spokenBlanks said;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        said.words += (i == 0 ? "" : i + 1 == kinds.size() ? " und " : ", ") + kinds[i];
    said.plural = kinds.size() > 1 || lineBreaks + spaces + tabs > 1;
    return said;
}

std::string quoted(std::string_view value, std::size_t budget)
{
    if (value.empty())
        return "nichts";
    // Most values are a few printable ASCII characters without a blank:
    // quoted as they are.
    if (value.size() <= budget && std::all_of(value.begin(), value.end(), [](char c) { return c > ' ' && c < '\x7F'; }))
        return std::string(openQuote).append(value).append(closeQuote);
    // The value in parts: text in quotes, and in words the blanks at either
    // end and every run of blanks that holds a line break.
    struct part {
        std::string_view text;
        bool spoken;
    };
    constexpr std::size_t mostParts = 3;
    std::vector<part> parts;
    std::size_t textStart = 0;
    for (std::size_t i = 0; i < value.size() && parts.size() <= mostParts;) {
        const std::size_t runEnd = std::min(value.find_first_not_of(utf8::blanks, i), value.size());
        const std::string_view run = value.substr(i, runEnd - i);
        const bool spoken
            = !run.empty() && (i == 0 || runEnd == value.size() || run.find_first_of("\r\n") != std::string_view::npos);
        if (spoken) {
            if (i > textStart)
                parts.push_back({ value.substr(textStart, i - textStart), false });
            parts.push_back({ run, true });
            textStart = runEnd;
        }
        i = run.empty() ? i + 1 : runEnd;
    }
    if (textStart < value.size() && parts.size() <= mostParts)
        parts.push_back({ value.substr(textStart), false });
    // Several texts share the budget; one text between blanks takes it all.
    constexpr std::size_t partBudget = 16;
    const auto texts = std::count_if(parts.begin(), parts.end(), [](const part& p) { return !p.spoken; });
    std::string out;
    for (std::size_t k = 0; k < parts.size() && k <= mostParts; ++k) {
        out += k == 0 ? "" : ", dann ";
        if (k == mostParts)
            out += ellipsis;
        else if (parts[k].spoken)
            out += blanks(parts[k].text).words;
        else
            out += std::string(openQuote) + escaped(parts[k].text, texts == 1 ? budget : std::min(budget, partBudget))
                + std::string(closeQuote);
    }
    return out;
}

std::string tagStart(std::string_view inner, std::size_t budget)
{
    const std::string_view firstLine = inner.substr(0, inner.find_first_of("\r\n"));
    const std::string_view shownPart
        = firstLine.substr(0, std::min(firstLine.find_last_not_of(" \t") + 1, firstLine.size()));
    std::string shown = escaped("<" + std::string(shownPart), budget);
    if (shownPart.size() < inner.size() && !shown.ends_with(ellipsis))
        shown += ellipsis;
    return std::string(openQuote) + shown + std::string(closeQuote);
}

std::string found(std::string_view value, std::size_t budget)
{
    const std::string shown = quoted(value, budget);
    return (shown.starts_with(openQuote) ? "gefunden " : "gefunden: ") + shown;
}

std::string withinALine(std::string reason)
{
    constexpr std::size_t longest = 140;
    if (charactersIn(reason) <= longest)
        return reason;
    std::size_t end = 0;
    for (std::size_t kept = 0; kept < longest - 1; ++kept) {
        ++end;
        while (end < reason.size() && utf8::isContinuation(static_cast<unsigned char>(reason[end])))
            ++end;
    }
    reason.resize(end);
    return reason + std::string(ellipsis);
}

std::string tag(std::string_view inner) { return quoted("<" + std::string(inner) + ">"); }

std::string range(std::uint32_t minimum, std::uint32_t maximum)
{
    return maximum == minimum + 1 ? number(minimum) + " oder " + number(maximum)
                                  : number(minimum) + " bis " + number(maximum);
}

std::string game(std::uint32_t gameType)
{
    if (const format::gameRules* rules = format::rulesOf(static_cast<kavrin::game>(gameType)))
        return "Spielart " + number(gameType) + " (" + std::string(rules->title) + ")";
    return "Spielart " + number(gameType);
}

std::string element(std::string_view name) { return "<" + std::string(name) + ">"; }

std::string listShape(std::uint32_t count, std::uint32_t maximum)
{
    return number(count) + " Zahlen von 01 bis " + twoDigits(maximum) + ", durch Kommas getrennt";
}

} // namespace kavrin::reasons
