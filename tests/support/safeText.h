#pragma once

#include <string_view>

// What any text shown to a user must be: valid UTF-8, without control
// characters (line breaks only where allowed), and without a character that
// reorders or hides text: those must have been named or replaced. Written
// apart from the library's own decoder, so that it can catch a fault there.
namespace kavrin::testing {

// Characters that reorder or break a line, or that a terminal may act on.
inline bool reordersOrControls(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

// Characters that cannot be seen, or be told from others, in a found value.
inline bool hidesOrFakes(char32_t c)
{
    return c == 0x00A0 || (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF || (c >= 0xFF10 && c <= 0xFF19);
}

// A reason must name both kinds; an excerpt shows the file's line as it is
// and needs only the first kind replaced.
inline bool isShownSafely(std::string_view text, bool lineBreaks = false, bool invisibleAllowed = false)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && !(lineBreaks && (lead == '\n' || lead == '\r' || lead == '\t'))) || lead == 0x7F)
                return false;
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t c = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || reordersOrControls(c)
            || (!invisibleAllowed && hidesOrFakes(c)))
            return false;
        i += length;
    }
    return true;
}

} // namespace kavrin::testing
