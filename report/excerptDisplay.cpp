#include "excerptDisplay.h"

#include "errorExcerpt.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kavrin {

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
    const auto units = [&display](std::string_view part) { return display.utf8 ? utf16Length(part) : part.size(); };
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
    const auto lowSurrogateAt = [&text](std::size_t at) { return at < text.size() && utf8::isLowSurrogate(text[at]); };
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
            if (from > start && lowSurrogateAt(from))
                --from;
            if (to < stop && lowSurrogateAt(to))
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
