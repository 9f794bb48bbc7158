#include "excerptDisplay.h"

#include "errorExcerpt.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kavrin {

namespace {

    constexpr std::uint64_t highBits = 0x8080808080808080u;
    constexpr std::uint64_t lowBits = 0x0101010101010101u;

} // namespace

bool isUtf8Text(std::string_view text)
{
    bool foundSequence = false;
    for (std::size_t i = 0; i < text.size() && text[i] != '\0';) {
        // Eight ASCII bytes without a NUL at a time.
        std::uint64_t word;
        while (text.size() - i >= 8 && (std::memcpy(&word, text.data() + i, 8), (word & highBits) == 0)
            && ((word - lowBits) & ~word & highBits) == 0)
            i += 8;
        if (i == text.size() || text[i] == '\0')
            break;
        const auto lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80)
            continue;
        std::size_t following;
        if ((lead & 0xE0) == 0xC0)
            following = 1;
        else if ((lead & 0xF0) == 0xE0)
            following = 2;
        else if ((lead & 0xF8) == 0xF0)
            following = 3;
        else
            return false; // a continuation byte without lead, or 11111xxx
        for (; following > 0; --following, ++i) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                return false;
        }
        foundSequence = true;
    }
    return foundSequence;
}

namespace {

    // Walks UTF-8 as utf8ToUtf16 converts it, handing each UTF-16 unit to emit.
    template <class Emit> void decodeUtf8(std::string_view text, Emit&& emit)
    {
        constexpr char16_t replacement = 0xFFFD;
        const auto byteAt = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        for (std::size_t i = 0; i < text.size();) {
            const unsigned char lead = byteAt(i);
            if (lead < 0x80) {
                emit(lead);
                ++i;
                continue;
            }
            // The range the first continuation byte must lie in excludes overlong
            // forms, surrogates and values above U+10FFFF.
            std::size_t following = 0;
            unsigned char low = 0x80, high = 0xBF;
            char32_t value = 0;
            if (lead >= 0xC2 && lead <= 0xDF) {
                following = 1;
                value = lead & 0x1F;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                following = 2;
                value = lead & 0x0F;
                low = lead == 0xE0 ? 0xA0 : 0x80;
                high = lead == 0xED ? 0x9F : 0xBF;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                following = 3;
                value = lead & 0x07;
                low = lead == 0xF0 ? 0x90 : 0x80;
                high = lead == 0xF4 ? 0x8F : 0xBF;
            } else {
                emit(replacement);
                ++i;
                continue;
            }
            ++i;
            bool complete = true;
            for (std::size_t k = 0; k < following; ++k, ++i) {
                if (i >= text.size() || byteAt(i) < low || byteAt(i) > high) {
                    complete = false;
                    break;
                }
                value = (value << 6) | (byteAt(i) & 0x3F);
                low = 0x80;
                high = 0xBF;
            }
            if (!complete) {
                emit(replacement);
            } else if (value >= 0x10000) {
                value -= 0x10000;
                emit(static_cast<char16_t>(0xD800 + (value >> 10)));
                emit(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
            } else {
                emit(static_cast<char16_t>(value));
            }
        }
    }

} // namespace

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    decodeUtf8(text, [&out](char16_t unit) { out.push_back(unit); });
    return out;
}

namespace {

    std::size_t utf8Units(std::string_view text)
    {
        std::size_t units = 0;
        decodeUtf8(text, [&units](char16_t) { ++units; });
        return units;
    }

} // namespace

std::u16string windows1252ToUtf16(std::string_view text)
{
    static constexpr std::array<char16_t, 32> high = {
        0x20AC,
        0x0081,
        0x201A,
        0x0192,
        0x201E,
        0x2026,
        0x2020,
        0x2021,
        0x02C6,
        0x2030,
        0x0160,
        0x2039,
        0x0152,
        0x008D,
        0x017D,
        0x008F,
        0x0090,
        0x2018,
        0x2019,
        0x201C,
        0x201D,
        0x2022,
        0x2013,
        0x2014,
        0x02DC,
        0x2122,
        0x0161,
        0x203A,
        0x0153,
        0x009D,
        0x017E,
        0x0178,
    };
    std::u16string out(text.size(), u'\0');
    char16_t* to = out.data();
    const char* from = text.data();
    const char* const end = from + text.size();
    // Eight ASCII bytes at a time: a megabyte line is mostly that.
    for (std::uint64_t word; end - from >= 8 && (std::memcpy(&word, from, 8), (word & highBits) == 0); from += 8)
        for (int k = 0; k < 8; ++k)
            *to++ = char16_t(static_cast<unsigned char>(from[k]));
    for (; from < end; ++from) {
        const auto byte = static_cast<unsigned char>(*from);
        *to++ = byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t { byte };
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
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
    return out;
}

excerptDisplay displayOf(const errorExcerpt& excerpt)
{
    // Every part is shown and counted as a C string: up to its first NUL.
    const auto shown = [](std::string_view part) { return part.substr(0, part.find('\0')); };
    const std::string joined = excerpt.before + excerpt.marked + excerpt.after;
    excerptDisplay display;
    display.firstLine = excerpt.firstLine;
    display.endLine = excerpt.endLine;
    display.utf8 = isUtf8Text(joined);
    display.cut = excerpt.cut;
    display.text = display.utf8 ? utf8ToUtf16(shown(joined)) : windows1252ToUtf16(shown(joined));
    // No line may be shown reordered or broken: such controls become a
    // symbol of one unit each, so every count stays as it is.
    if (display.utf8)
        for (char16_t& unit : display.text)
            if (unit >= 0x061C && utf8::reordersText(unit))
                unit = utf8::reorderingSymbol(unit);
    // Each part is counted by itself, as if converted alone; Windows-1252
    // gives one unit a byte.
    const auto units = [&display](std::string_view part) { return display.utf8 ? utf8Units(part) : part.size(); };
    display.highlightStart.units = units(shown(excerpt.before));
    display.highlightEnd.units = display.highlightStart.units + units(shown(excerpt.marked));
    return display;
}

excerptDisplay windowedDisplay(const excerptDisplay& display, std::size_t longLine, std::size_t leadIn)
{
    constexpr char16_t ellipsis = u'\u2026';
    const std::u16string_view text = display.text;
    const std::size_t markFrom = display.highlightStart.units;
    const std::size_t markTo = display.highlightEnd.units;
    const auto isLowSurrogate
        = [&text](std::size_t at) { return at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF; };
    excerptDisplay out = display;
    out.text.clear();
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t stop = start;
        while (stop < text.size() && text[stop] != u'\r' && text[stop] != u'\n')
            ++stop;
        const std::size_t breakLength = text.substr(stop, 2) == u"\r\n" ? 2 : stop < text.size() ? 1 : 0;
        std::size_t from = start;
        std::size_t to = stop;
        if (stop - start > longLine) {
            if (markFrom >= start && markFrom <= stop)
                from = markFrom > start + leadIn ? markFrom - leadIn : start;
            to = std::min(stop, from + longLine);
            if (from > start && isLowSurrogate(from))
                --from;
            if (to < stop && isLowSurrogate(to))
                ++to;
        }
        const std::size_t shownFrom = out.text.size() + (from > start ? 1 : 0);
        // Where a place of the old text lies in the new one.
        const auto moved = [&](std::size_t at) { return shownFrom + std::clamp(at, from, to) - from; };
        if (markFrom >= start && markFrom <= stop + breakLength)
            out.highlightStart.units
                = markFrom > stop ? moved(stop) + (to < stop ? 1 : 0) + markFrom - stop : moved(markFrom);
        if (markTo >= start && markTo <= stop + breakLength)
            out.highlightEnd.units = markTo > stop ? moved(stop) + (to < stop ? 1 : 0) + markTo - stop : moved(markTo);
        if (from > start)
            out.text.push_back(ellipsis);
        out.text.append(text.substr(from, to - from));
        if (to < stop)
            out.text.push_back(ellipsis);
        out.text.append(text.substr(stop, breakLength));
        if (breakLength == 0)
            break;
        start = stop + breakLength;
    }
    return out;
}

std::vector<std::size_t> lineStartBlocks(std::u16string_view text, bool cut)
{
    std::vector<std::size_t> starts { 0 };
    std::size_t block = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > u'\r')
            continue; // most units: neither CR nor LF
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        else if (text[i] == u'\r')
            ++block;
        if (text[i] == u'\n')
            starts.push_back(++block);
    }
    if (cut && block > starts.back())
        starts.push_back(block);
    return starts;
}

std::string lineNumberText(std::uint32_t first, std::uint32_t end)
{
    std::string text;
    for (std::uint32_t n = first; n < end; ++n)
        text.append(std::to_string(n)).append("\r\n");
    return text;
}

} // namespace kavrin
