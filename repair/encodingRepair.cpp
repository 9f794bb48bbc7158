#include "repairSteps.h"
#include "repairTexts.h"
#include "utf8.h"

namespace kavrin::repairSteps {

namespace {

    enum class byteOrder { little, big };

    using utf8::blanks;

    // What a decoded text shows of itself: a ticket file is markup, so it
    // begins with '<' after blanks, and nearly all of it, at least nine in
    // ten characters, is ASCII.
    bool isMarkupShare(std::size_t characters, std::size_t nonAscii) { return nonAscii * 10 <= characters; }

    class evidence {
    public:
        // False as soon as the text cannot be a ticket file's.
        bool note(char32_t c)
        {
            ++characters;
            nonAscii += c >= 0x80 ? 1 : 0;
            if (!begun && (c >= 0x80 || blanks.find(static_cast<char>(c)) == std::string_view::npos)) {
                begun = true;
                return c == '<';
            }
            return true;
        }
        bool isMarkup(bool markedAsUnicode) const
        {
            return begun && (markedAsUnicode || isMarkupShare(characters, nonAscii));
        }

    private:
        std::size_t characters = 0;
        std::size_t nonAscii = 0;
        bool begun = false;
    };

    // Strict: whole units, surrogates in pairs, no NUL, and no U+001A, which
    // in the copy would end what the check reads.
    std::optional<std::string> fromUtf16(std::string_view bytes, byteOrder order, bool marked)
    {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        std::string text;
        text.reserve(bytes.size() / 2);
        evidence seen;
        const auto unitAt = [&](std::size_t i) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            return static_cast<char32_t>(order == byteOrder::little ? a | b << 8 : a << 8 | b);
        };
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            char32_t unit = unitAt(i);
            if (unit == 0 || unit == static_cast<char32_t>(endOfText) || utf8::isLowSurrogate(unit))
                return std::nullopt;
            if (utf8::isHighSurrogate(unit)) {
                if (i + 3 >= bytes.size() || !utf8::isLowSurrogate(unitAt(i + 2)))
                    return std::nullopt;
                unit = utf8::joinedSurrogates(unit, unitAt(i + 2));
                i += 2;
            }
            if (!seen.note(unit))
                return std::nullopt;
            utf8::appendUtf8(text, unit);
        }
        if (!seen.isMarkup(marked))
            return std::nullopt;
        return text;
    }

    bool isUnassignedIn1252(unsigned char byte)
    {
        return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    }

    // Windows-1252 is certain when the bytes read are not UTF-8 at all: not
    // one well-formed multi-byte sequence, at least one broken one, every
    // byte assigned, and the text markup. A file mixing both is left alone.
    std::optional<std::string> from1252(std::string_view bytes)
    {
        if (bytes.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark)
            return std::nullopt;
        const std::string_view read = bytes.substr(0, bytes.find(endOfText));
        const std::size_t first = read.find_first_not_of(blanks);
        if (first == std::string_view::npos || read[first] != '<' || read.find('\0') != std::string_view::npos)
            return std::nullopt;
        std::size_t nonAscii = 0;
        for (std::size_t i = 0; i < read.size(); ++i) {
            const auto byte = static_cast<unsigned char>(read[i]);
            if (byte < 0x80)
                continue;
            if (isUnassignedIn1252(byte))
                return std::nullopt;
            const utf8::step s = utf8::next(read, i);
            if (s.valid)
                return std::nullopt;
            ++nonAscii;
        }
        if (nonAscii == 0 || !isMarkupShare(read.size(), nonAscii))
            return std::nullopt;
        std::string text;
        text.reserve(bytes.size() + nonAscii * 2);
        for (std::size_t i = 0; i < read.size();) {
            std::size_t ascii = i;
            while (ascii < read.size() && static_cast<unsigned char>(read[ascii]) < 0x80)
                ++ascii;
            text.append(read.substr(i, ascii - i));
            if (ascii < read.size())
                utf8::appendUtf8(text, utf8::windows1252(static_cast<unsigned char>(read[ascii])));
            i = ascii + 1;
        }
        text += bytes.substr(read.size());
        return text;
    }

} // namespace

std::optional<converted> toUtf8(std::string_view bytes)
{
    const auto named = [](std::optional<std::string> text, byteOrder order) -> std::optional<converted> {
        if (!text)
            return std::nullopt;
        return converted { std::move(*text), order == byteOrder::little ? repairTexts::utf16le : repairTexts::utf16be };
    };
    if (utf8::holdsAt(bytes, 0, "\xFF\xFE"))
        return named(fromUtf16(bytes.substr(2), byteOrder::little, true), byteOrder::little);
    if (utf8::holdsAt(bytes, 0, "\xFE\xFF"))
        return named(fromUtf16(bytes.substr(2), byteOrder::big, true), byteOrder::big);
    // Without a mark only one order can give markup: ASCII in the other is
    // a unit of 0x0100 or more.
    for (const byteOrder order : { byteOrder::little, byteOrder::big })
        if (auto text = named(fromUtf16(bytes, order, false), order))
            return text;
    if (auto text = from1252(bytes))
        return converted { std::move(*text), repairTexts::windows1252 };
    return std::nullopt;
}

std::optional<declarationFix> declarationEncoding(std::string_view bytes)
{
    // The declaration has one fixed form; its value's quote stands at byte 29.
    constexpr std::size_t valueQuote = 29;
    const std::size_t start = utf8::holdsAt(bytes, 0, utf8::byteOrderMark) ? utf8::byteOrderMark.size() : 0;
    const bool versionOne
        = utf8::holdsAt(bytes, start, "<?xml version=\"1.0\" ") || utf8::holdsAt(bytes, start, "<?xml version='1.0' ");
    if (!versionOne || !utf8::holdsAt(bytes, start + 20, "encoding=") || bytes.size() <= start + valueQuote)
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
