#include "reasonText.h"

#include "reasons.h"
#include "utf8.h"

namespace kavrin::reasons {

namespace {

    constexpr std::string_view openQuote = "„";
    constexpr std::string_view closeQuote = "“";
    constexpr std::string_view ellipsis = "…";

    bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

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
        std::string piece;
        if (byte == '\n' || crLf)
            piece = "[Zeilenumbruch]";
        else if (byte == '\t')
            piece = "[Tabulator]";
        else if (length == 0 || byte < 0x20 || byte == 0x7F)
            piece = "[Byte " + hexByte(byte) + "]";
        else if (!utf8::hiddenCharacterName(c).empty())
            piece = utf8::describe(c);
        else
            piece = std::string(value.substr(i, length));
        shown += charactersIn(piece);
        if (++taken > budget || (taken > 1 && shown > budget + budget / 2)) {
            out += ellipsis;
            break;
        }
        out += piece;
        i += length == 0 ? 1 : length;
    }
    return out;
}

std::string quoted(std::string_view value)
{
    // A line break is said in words: a reason is one line, and a player
    // does not read "\n".
    const std::size_t lineBreak = value.find_first_of("\r\n");
    if (lineBreak == std::string_view::npos)
        return std::string(openQuote) + escaped(value) + std::string(closeQuote);
    constexpr std::size_t partBudget = 16;
    std::size_t rest = lineBreak;
    while (rest < value.size() && isLineBreak(value[rest]))
        ++rest;
    const std::string_view after = value.substr(rest, value.substr(rest).find_first_of("\r\n"));
    if (lineBreak == 0)
        return after.empty() ? std::string("einen Zeilenumbruch")
                             : "einen Zeilenumbruch, dann " + quotedStart(after, partBudget);
    return quotedStart(value.substr(0, lineBreak), partBudget) + " und einen Zeilenumbruch";
}

std::string quotedWhole(std::string_view value)
{
    return std::string(openQuote) + escaped(value) + std::string(closeQuote);
}

std::string quotedStart(std::string_view value, std::size_t budget)
{
    const std::size_t lineBreak = value.find_first_of("\r\n");
    std::string shown = escaped(value.substr(0, lineBreak), budget);
    if (lineBreak != std::string_view::npos && shown.find(ellipsis) == std::string::npos)
        shown += ellipsis;
    return std::string(openQuote) + shown + std::string(closeQuote);
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
    switch (gameType) {
    case 47:
        return "Spielart 47 (6 aus 45)";
    case 34:
        return "Spielart 34 (5 aus 50 plus 2 aus 12)";
    case 28:
        return "Spielart 28 (Ergebniswette)";
    default:
        return "Spielart " + number(gameType);
    }
}

std::string element(std::string_view name) { return "<" + std::string(name) + ">"; }

std::string listShape(std::uint32_t count, std::uint32_t maximum)
{
    return number(count) + " Zahlen von 01 bis " + twoDigits(maximum) + ", durch Kommas getrennt";
}

} // namespace kavrin::reasons
