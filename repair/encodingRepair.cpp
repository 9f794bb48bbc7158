#include "repairSteps.h"
#include "repairTexts.h"
#include "utf8.h"

namespace kavrin::repairSteps {

namespace {

    enum class byteOrder { none, little, big };

    // UTF-16 shows in its first unit: a byte-order mark, or an ASCII
    // character beside a 0x00 byte.
    byteOrder utf16Order(std::string_view bytes, std::size_t& skip)
    {
        skip = 0;
        if (bytes.size() < 2)
            return byteOrder::none;
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if (first == 0xFF && second == 0xFE) {
            skip = 2;
            return byteOrder::little;
        }
        if (first == 0xFE && second == 0xFF) {
            skip = 2;
            return byteOrder::big;
        }
        if (first != 0 && first < 0x80 && second == 0)
            return byteOrder::little;
        if (first == 0 && second != 0 && second < 0x80)
            return byteOrder::big;
        return byteOrder::none;
    }

    // Strict: whole units, pairs of surrogates only, no NUL.
    std::optional<std::string> fromUtf16(std::string_view bytes, byteOrder order)
    {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        std::string text;
        text.reserve(bytes.size() / 2);
        const auto unitAt = [&](std::size_t i) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            return static_cast<char32_t>(order == byteOrder::little ? a | b << 8 : a << 8 | b);
        };
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            char32_t unit = unitAt(i);
            if (unit == 0 || utf8::isLowSurrogate(unit))
                return std::nullopt;
            if (utf8::isHighSurrogate(unit)) {
                if (i + 3 >= bytes.size() || !utf8::isLowSurrogate(unitAt(i + 2)))
                    return std::nullopt;
                unit = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
                i += 2;
            }
            utf8::appendUtf8(text, unit);
        }
        return text;
    }

    bool isUnassignedIn1252(unsigned char byte)
    {
        return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    }

    // Windows-1252 is certain when the bytes are not UTF-8 at all: not one
    // well-formed multi-byte sequence, at least one broken one, and every
    // byte assigned. A file mixing both is left alone.
    std::optional<std::string> from1252(std::string_view bytes)
    {
        if (bytes.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark)
            return std::nullopt;
        bool broken = false;
        for (std::size_t i = 0; i < bytes.size();) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte == 0 || isUnassignedIn1252(byte))
                return std::nullopt;
            const utf8::step s = utf8::next(bytes, i);
            if (s.valid && s.length > 1)
                return std::nullopt;
            broken = broken || !s.valid;
            i += s.length > 0 ? s.length : 1;
        }
        if (!broken)
            return std::nullopt;
        std::string text;
        text.reserve(bytes.size() + bytes.size() / 8);
        for (const char c : bytes)
            utf8::appendUtf8(text, utf8::windows1252(static_cast<unsigned char>(c)));
        return text;
    }

    bool holdsAt(std::string_view text, std::size_t at, std::string_view expected)
    {
        return text.size() >= at + expected.size() && text.substr(at, expected.size()) == expected;
    }

} // namespace

std::optional<converted> toUtf8(std::string_view bytes)
{
    std::size_t skip = 0;
    if (const byteOrder order = utf16Order(bytes, skip); order != byteOrder::none) {
        if (auto text = fromUtf16(bytes.substr(skip), order))
            return converted { std::move(*text),
                order == byteOrder::little ? repairTexts::utf16le : repairTexts::utf16be };
        return std::nullopt;
    }
    if (auto text = from1252(bytes))
        return converted { std::move(*text), repairTexts::windows1252 };
    return std::nullopt;
}

std::optional<declarationFix> declarationEncoding(std::string_view bytes)
{
    // The declaration has one fixed form; its value's quote stands at byte 29.
    constexpr std::size_t valueQuote = 29;
    const std::size_t start = holdsAt(bytes, 0, utf8::byteOrderMark) ? utf8::byteOrderMark.size() : 0;
    const bool versionOne
        = holdsAt(bytes, start, "<?xml version=\"1.0\" ") || holdsAt(bytes, start, "<?xml version='1.0' ");
    if (!versionOne || !holdsAt(bytes, start + 20, "encoding=") || bytes.size() <= start + valueQuote)
        return std::nullopt;
    const char quote = bytes[start + valueQuote];
    if (quote != '"' && quote != '\'')
        return std::nullopt;
    const std::size_t valueStart = start + valueQuote + 1;
    const std::size_t valueEnd = bytes.find_first_of(std::string { quote, '\n', '>' }, valueStart);
    if (valueEnd == std::string_view::npos || bytes[valueEnd] != quote)
        return std::nullopt;
    return declarationFix { valueStart, std::string(bytes.substr(valueStart, valueEnd - valueStart)) };
}

} // namespace kavrin::repairSteps
