#include "reasonText.h"

#include "reasons.h"
#include "utf8.h"

namespace kavrin::reasons {

namespace {

    constexpr std::size_t shownCharacters = 32;
    constexpr std::string_view openQuote = "„";
    constexpr std::string_view closeQuote = "“";
    constexpr std::string_view ellipsis = "…";

} // namespace

std::string number(std::uint64_t value) { return std::to_string(value); }

std::string grouped(std::uint64_t value)
{
    const std::string digits = number(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(' ');
        out.push_back(digits[i]);
    }
    return out;
}

std::string twoDigits(std::uint32_t value) { return (value < 10 ? "0" : "") + number(value); }

std::string hexByte(int byte) { return "0x" + utf8::hex(static_cast<std::uint32_t>(byte) & 0xFF, 2); }

std::string escaped(std::string_view value)
{
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < value.size(); ++characters) {
        if (characters == shownCharacters) {
            out += ellipsis;
            break;
        }
        const auto byte = static_cast<unsigned char>(value[i]);
        const std::size_t length = utf8::wellFormedLength(value, i);
        const char32_t c = length == 0 ? 0 : utf8::decode(value, i, length);
        if (byte == '\t')
            out += "\\t";
        else if (byte == '\n')
            out += "\\n";
        else if (byte == '\r')
            out += "\\r";
        else if (length == 0 || byte < 0x20 || byte == 0x7F)
            out += "\\x" + hexByte(byte).substr(2);
        else if (!utf8::hiddenCharacterName(c).empty())
            out += utf8::describe(c);
        else
            out.append(value.substr(i, length));
        i += length == 0 ? 1 : length;
    }
    return out;
}

std::string range(std::uint32_t minimum, std::uint32_t maximum)
{
    return maximum == minimum + 1 ? number(minimum) + " oder " + number(maximum)
                                  : number(minimum) + " bis " + number(maximum);
}

std::string listShape(std::string_view element, std::uint32_t count, std::uint32_t maximum)
{
    return "ein " + std::string(element) + " besteht aus " + number(count) + " zweistelligen Zahlen von 01 bis "
        + twoDigits(maximum) + ", getrennt durch Kommas";
}

std::string quoted(std::string_view value) { return std::string(openQuote) + escaped(value) + std::string(closeQuote); }

std::string tag(std::string_view inner) { return "<" + escaped(inner) + ">"; }

} // namespace kavrin::reasons
