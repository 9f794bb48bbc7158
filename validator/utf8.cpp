#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kavrin::utf8 {

namespace {

    constexpr std::uint64_t highBits = 0x8080808080808080u;
    constexpr std::uint64_t lowBits = 0x0101010101010101u;

    // Eight ASCII bytes at once: a megabyte line is mostly that.
    bool eightAscii(const char* at, const char* end)
    {
        std::uint64_t word;
        return end - at >= 8 && (std::memcpy(&word, at, 8), (word & highBits) == 0);
    }

} // namespace

step next(std::string_view text, std::size_t i)
{
    const auto at = [&text](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return { lead, 1, i < text.size() };
    // The range the first continuation byte must lie in excludes overlong
    // forms, surrogates and values above U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return { 0xFFFD, 1, false };
    }
    for (std::size_t k = 1; k < length; ++k, low = 0x80, high = 0xBF) {
        if (at(i + k) < low || at(i + k) > high)
            return { 0xFFFD, k, false };
        value = (value << 6) | (at(i + k) & 0x3F);
    }
    return { value, length, true };
}

char32_t decode(std::string_view text, std::size_t i, std::size_t length)
{
    static constexpr unsigned char leadMask[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    char32_t value = static_cast<unsigned char>(text[i]) & leadMask[length];
    for (std::size_t k = 1; k < length; ++k)
        value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return value;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char16_t windows1252(unsigned char byte)
{
    // 0x80 to 0x9F are where Windows-1252 differs from Latin-1.
    static constexpr std::array<char16_t, 32> high = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t { byte };
}

namespace {

    struct named {
        char32_t first;
        char32_t last;
        std::string_view name;
    };

    constexpr std::array hidden = {
        named { 0x0080, 0x009F, "Steuerzeichen" },
        named { 0x00A0, 0x00A0, "geschütztes Leerzeichen" },
        named { 0x00AD, 0x00AD, "weiches Trennzeichen" },
        named { 0x061C, 0x061C, "Schreibrichtungszeichen" },
        named { 0x180E, 0x180E, "unsichtbares Trennzeichen" },
        named { 0x2000, 0x200A, "Leerzeichen anderer Breite" },
        named { 0x200B, 0x200B, "unsichtbares Leerzeichen" },
        named { 0x200C, 0x200D, "unsichtbares Verbindungszeichen" },
        named { 0x200E, 0x200F, "Schreibrichtungszeichen" },
        named { 0x2028, 0x2028, "Zeilentrenner" },
        named { 0x2029, 0x2029, "Absatztrenner" },
        named { 0x202A, 0x202E, "Schreibrichtungszeichen" },
        named { 0x202F, 0x202F, "schmales geschütztes Leerzeichen" },
        named { 0x205F, 0x205F, "Leerzeichen anderer Breite" },
        named { 0x2060, 0x2064, "unsichtbares Zeichen" },
        named { 0x2066, 0x2069, "Schreibrichtungszeichen" },
        named { 0x3000, 0x3000, "breites Leerzeichen" },
        named { 0xFEFF, 0xFEFF, "unsichtbares BOM-Zeichen" },
        named { 0xFF10, 0xFF19, "breite Ziffer" },
    };

} // namespace

std::string_view hiddenCharacterName(char32_t c)
{
    const auto found
        = std::find_if(hidden.begin(), hidden.end(), [c](const named& n) { return c >= n.first && c <= n.last; });
    return found == hidden.end() ? std::string_view {} : found->name;
}

bool reordersText(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

char16_t reorderingSymbol(char32_t c)
{
    // ↵ for a line separator, ¶ for a paragraph separator, ⇄ for a change
    // of writing direction.
    return c == 0x2028 ? u'\u21B5' : c == 0x2029 ? u'\u00B6' : u'\u21C4';
}

std::string describe(char32_t c)
{
    return "[U+" + hex(c, c > 0xFFFF ? 6 : 4) + " (" + std::string(hiddenCharacterName(c)) + ")]";
}

std::string hex(std::uint32_t value, int digits, bool lowerCase)
{
    const char* const alphabet = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out.push_back(alphabet[(value >> shift) & 0xF]);
    return out;
}

namespace {

    char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowered(x) == lowered(y); });
}

std::size_t findIgnoringAsciiCase(std::string_view text, std::string_view lowered, std::size_t from)
{
    const auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
        lowered.begin(), lowered.end(), [](char x, char y) { return utf8::lowered(x) == y; });
    return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
}

std::size_t characters(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += !isContinuation(static_cast<unsigned char>(c));
    return count;
}

std::string_view wholeCharacters(std::string_view text, std::size_t offset, std::size_t length)
{
    if (offset >= text.size())
        return {};
    const auto continues
        = [&text](std::size_t at) { return at < text.size() && isContinuation(static_cast<unsigned char>(text[at])); };
    std::size_t end = length >= text.size() - offset ? text.size() : offset + length;
    while (offset > 0 && continues(offset))
        --offset;
    while (continues(end))
        ++end;
    return text.substr(offset, end - offset);
}

sequenceCount countSequences(std::string_view text)
{
    sequenceCount count;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = scanLength(static_cast<unsigned char>(text[i]));
        if (length == 1) {
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken < length && i + taken < text.size() && isContinuation(static_cast<unsigned char>(text[i + taken])))
            ++taken;
        ++(taken == length ? count.complete : count.broken);
        i += taken;
    }
    return count;
}

std::string_view baseName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace kavrin::utf8

namespace kavrin {

bool isUtf8Text(std::string_view text)
{
    bool foundSequence = false;
    for (std::size_t i = 0; i < text.size() && text[i] != '\0';) {
        // Eight ASCII bytes without a NUL at a time.
        std::uint64_t word;
        while (text.size() - i >= 8 && (std::memcpy(&word, text.data() + i, 8), (word & utf8::highBits) == 0)
            && ((word - utf8::lowBits) & ~word & utf8::highBits) == 0)
            i += 8;
        if (i == text.size() || text[i] == '\0')
            break;
        const auto lead = static_cast<unsigned char>(text[i++]);
        const std::size_t length = utf8::scanLength(lead);
        if (length == 0)
            return false;
        for (std::size_t following = length - 1; following > 0; --following, ++i) {
            if (i >= text.size() || !utf8::isContinuation(static_cast<unsigned char>(text[i])))
                return false;
        }
        foundSequence = foundSequence || length > 1;
    }
    return foundSequence;
}

namespace {

    // Walks UTF-8 as utf8ToUtf16 converts it, handing each UTF-16 unit to emit.
    template <class Emit> void decodeUtf8(std::string_view text, Emit&& emit)
    {
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            if (lead < 0x80) {
                emit(lead);
                ++i;
                continue;
            }
            const utf8::step s = utf8::next(text, i);
            i += s.length;
            if (s.value >= 0x10000) {
                emit(static_cast<char16_t>(0xD800 + ((s.value - 0x10000) >> 10)));
                emit(static_cast<char16_t>(0xDC00 + ((s.value - 0x10000) & 0x3FF)));
            } else {
                emit(static_cast<char16_t>(s.value));
            }
        }
    }

} // namespace

std::u16string utf8ToUtf16(std::string_view text)
{
    // Never more units than bytes: a sequence of four bytes gives two.
    std::u16string out(text.size(), u'\0');
    char16_t* to = out.data();
    decodeUtf8(text, [&to](char16_t unit) { *to++ = unit; });
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}

std::size_t utf16Length(std::string_view text)
{
    std::size_t units = 0;
    decodeUtf8(text, [&units](char16_t) { ++units; });
    return units;
}

std::u16string windows1252ToUtf16(std::string_view text)
{
    std::u16string out(text.size(), u'\0');
    char16_t* to = out.data();
    const char* from = text.data();
    const char* const end = from + text.size();
    for (; utf8::eightAscii(from, end); from += 8)
        for (int k = 0; k < 8; ++k)
            *to++ = char16_t(static_cast<unsigned char>(from[k]));
    for (; from < end; ++from)
        *to++ = utf8::windows1252(static_cast<unsigned char>(*from));
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A run of ASCII units, as most of an excerpt is.
        std::size_t run = i;
        while (text.size() - run >= 4 && (text[run] | text[run + 1] | text[run + 2] | text[run + 3]) < 0x80)
            run += 4;
        while (run < text.size() && text[run] < 0x80)
            ++run;
        if (run > i) {
            const std::size_t from = out.size();
            out.resize(from + (run - i));
            std::copy(text.begin() + std::ptrdiff_t(i), text.begin() + std::ptrdiff_t(run),
                out.begin() + std::ptrdiff_t(from));
            i = run;
            if (i == text.size())
                break;
        }
        char32_t c = text[i];
        if (utf8::isHighSurrogate(c) && i + 1 < text.size() && utf8::isLowSurrogate(text[i + 1]))
            c = utf8::joinedSurrogates(c, text[++i]);
        else if (utf8::isHighSurrogate(c) || utf8::isLowSurrogate(c))
            c = 0xFFFD;
        utf8::appendUtf8(out, c);
    }
    return out;
}

} // namespace kavrin
