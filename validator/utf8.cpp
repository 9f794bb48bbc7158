#include "utf8.h"

#include <algorithm>
#include <array>

namespace kavrin::utf8 {

std::size_t wellFormedLength(std::string_view text, std::size_t i)
{
    const auto at = [&text](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return i < text.size() ? 1 : 0;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k, low = 0x80, high = 0xBF)
        if (at(i + k) < low || at(i + k) > high)
            return 0;
    return length;
}

char32_t decode(std::string_view text, std::size_t i, std::size_t length)
{
    static constexpr unsigned char leadMask[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    char32_t value = static_cast<unsigned char>(text[i]) & leadMask[length];
    for (std::size_t k = 1; k < length; ++k)
        value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return value;
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
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "[U+";
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        out.push_back(hex[(c >> shift) & 0xF]);
    out.append(" (").append(hiddenCharacterName(c)).append(")]");
    return out;
}

} // namespace kavrin::utf8
