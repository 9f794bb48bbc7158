#include "terminalReport.h"

#include "columns.h"
#include "resultText.h"
#include "utf8.h"

#include <algorithm>
#include <vector>

namespace kavrin {

namespace {

    constexpr std::string_view redCode = "\x1b[1;31m";
    constexpr std::string_view bold = "\x1b[1m";
    constexpr std::string_view plain = "\x1b[0m";

    // The reason stands indented under the message, so that editors' error
    // parsers do not take it for a diagnostic of its own.
    constexpr std::string_view reasonIndent = "  ";

    // A terminal would act on control characters; they are shown as their
    // pictures instead (TAB stays, it keeps the columns).
    std::u16string printable(std::u16string_view text)
    {
        std::u16string out(text);
        for (char16_t& c : out) {
            if (c < 0x20 && c != u'\t')
                c = static_cast<char16_t>(0x2400 + c);
            else if (c == 0x7F)
                c = 0x2421;
            else if (c >= 0x80 && c < 0xA0)
                c = 0xFFFD; // C1 controls, which some terminals act on too
        }
        return out;
    }

    bool isLowSurrogateAfterHigh(std::u16string_view text, std::size_t i)
    {
        return utf8::isLowSurrogate(text[i]) && i > 0 && utf8::isHighSurrogate(text[i - 1]);
    }

    // The character at text[i], a surrogate pair as one.
    char32_t characterAt(std::u16string_view text, std::size_t i)
    {
        if (utf8::isHighSurrogate(text[i]) && i + 1 < text.size() && utf8::isLowSurrogate(text[i + 1]))
            return utf8::joinedSurrogates(text[i], text[i + 1]);
        return text[i];
    }

    // One character of text[i, i + units) in UTF-8, as utf16ToUtf8 writes
    // it, without a string of its own: a line is written a character at a
    // time.
    void appendCharacter(std::string& out, std::u16string_view text, std::size_t i, std::size_t units)
    {
        const char32_t c = units == 2 ? characterAt(text, i) : text[i];
        utf8::appendUtf8(out, utf8::isHighSurrogate(c) || utf8::isLowSurrogate(c) ? 0xFFFD : c);
    }

    std::size_t widthOf(char32_t c) { return c < 0x300 ? 1 : system::columnsOf(c); }

    // Marks under a piece of text: TABs are kept so the '^' line stays level with
    // the text above it; a character takes as many marks as columns.
    std::string underline(std::u16string_view text, char mark)
    {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (isLowSurrogateAfterHigh(text, i))
                continue;
            if (text[i] == u'\t')
                out.push_back('\t');
            else
                out.append(widthOf(characterAt(text, i)), mark);
        }
        return out;
    }

    // One numbered line of the excerpt in three parts: before the mark, the
    // mark, after it; the CR of its line break left out. The line that holds
    // the place gets carets even when its mark is empty or takes no columns
    // (a NUL ends the shown text; a zero-width space is invisible).
    struct excerptLine {
        std::u16string_view before;
        std::u16string_view mark;
        std::u16string_view after;
        bool place = false;
        std::u16string whole() const { return std::u16string(before).append(mark).append(after); }
    };

    std::vector<excerptLine> linesOf(const excerptDisplay& excerpt)
    {
        const std::u16string_view text = excerpt.text;
        std::vector<excerptLine> lines;
        bool placed = false;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t stop = text.find(u'\n', start);
            const std::size_t next = stop == std::u16string_view::npos ? text.size() : stop + 1;
            if (stop == std::u16string_view::npos)
                stop = text.size();
            if (stop > start && text[stop - 1] == u'\r')
                --stop; // the CR of a CR LF break, or the one the excerpt ends in
            const std::size_t markFrom = std::clamp(excerpt.highlightStart.units, start, stop);
            const std::size_t markTo = std::clamp(excerpt.highlightEnd.units, start, stop);
            const bool place = markTo > markFrom
                || (!placed && excerpt.highlightStart.units >= start && excerpt.highlightStart.units <= stop);
            placed = placed || place;
            lines.push_back({ text.substr(start, markFrom - start), text.substr(markFrom, markTo - markFrom),
                text.substr(markTo, stop - markTo), place });
            start = next;
        }
        return lines;
    }

    constexpr std::size_t tabColumns = 8;

    // Columns a terminal gives the text, TABs to the next multiple of eight.
    std::size_t columnsOf(std::u16string_view text)
    {
        std::size_t columns = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!isLowSurrogateAfterHigh(text, i))
                columns = text[i] == u'\t' ? (columns / tabColumns + 1) * tabColumns
                                           : columns + widthOf(characterAt(text, i));
        return columns;
    }

    // The columns [from, from + room) of a line, TABs widened to blanks, with
    // '…' where the line is cut; with carets, the '^' line beneath it.
    std::string windowed(const excerptLine& line, std::size_t from, std::size_t room, bool colour, bool carets)
    {
        constexpr std::string_view cut = "…";
        const std::size_t shown = room - 2; // one column for each '…'
        // A neighbouring line that ends before the window, or fits in it
        // whole, shows its own text.
        if (!carets && !line.place && columnsOf(line.whole()) <= std::max(from, shown))
            from = 0;
        std::string out;
        out += from > 0 ? (carets ? std::string(" ") : std::string(cut)) : std::string();
        std::size_t column = 0;
        bool inRed = false;
        bool more = false;
        const std::u16string_view parts[] = { line.before, line.mark, line.after };
        for (std::size_t part = 0; part < 3 && !more; ++part) {
            const std::u16string_view text = parts[part];
            const std::u16string shownText = printable(text);
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (isLowSurrogateAfterHigh(text, i))
                    continue;
                const bool tab = text[i] == u'\t';
                const std::size_t units = i + 1 < text.size() && isLowSurrogateAfterHigh(text, i + 1) ? 2 : 1;
                const std::size_t width = tab ? 0 : widthOf(characterAt(text, i));
                const std::size_t next = tab ? (column / tabColumns + 1) * tabColumns : column + width;
                if (width == 0 && !tab) {
                    // A combining mark joins the character before it.
                    if (!carets && column > from && column <= from + shown)
                        appendCharacter(out, shownText, i, units);
                    continue;
                }
                for (std::size_t k = column; k < next; ++k) {
                    if (k < from)
                        continue;
                    if (k >= from + shown) {
                        more = true;
                        break;
                    }
                    const bool red = colour && part == 1;
                    if (red != inRed) {
                        out += red ? redCode : plain;
                        inRed = red;
                    }
                    if (carets)
                        out += part == 1 ? '^' : ' ';
                    else if (text[i] == u'\t')
                        out += ' ';
                    else if (k == column)
                        appendCharacter(out, shownText, i, units);
                    else if (k == from)
                        out += ' '; // the second half of a wide character cut by the window
                }
                column = next;
                if (more)
                    break;
            }
        }
        if (inRed)
            out += plain;
        if (more && !carets)
            out += cut;
        if (carets)
            out.erase(out.find_last_not_of(' ') + 1);
        if (carets && out.find('^') == std::string::npos) {
            const std::size_t at = columnsOf(line.before);
            if (at >= from && at <= from + shown)
                out.assign((from > 0 ? 1 : 0) + at - from, ' ')
                    .append(colour ? redCode : "")
                    .append("^")
                    .append(colour ? plain : "");
        }
        return out;
    }

} // namespace

namespace {

    std::string diagnostic(const std::string& file, const violation* found, const std::optional<excerptDisplay>& shown,
        bool colour, std::size_t width);

} // namespace

void writeHumanReport(const fileReport& report, bool colour, std::size_t width, const textSink& out)
{
    const std::vector<violation>& found = report.checked.violations;
    std::string text = diagnostic(report.file, report.checked.first(), excerptOf(report, 0), colour, width);
    if (report.valid())
        text.append(reasonIndent).append(summaryText(report.checked.summary)).append("\n");
    out(text);
    for (std::size_t i = 1; i < found.size(); ++i)
        out(diagnostic(report.file, &found[i], excerptOf(report, i), colour, width));
    if (report.checked.violationsCut)
        out(std::string(reasonIndent).append(moreViolationsText(found.size())).append("\n"));
}

std::string humanReport(const fileReport& report, bool colour, std::size_t width)
{
    std::string text;
    writeHumanReport(report, colour, width, [&text](std::string_view piece) { text += piece; });
    return text;
}

namespace {

    // One violation, or the success line when there is none.
    std::string diagnostic(const std::string& file, const violation* found, const std::optional<excerptDisplay>& shown,
        bool colour, std::size_t width)
    {
        std::string out;
        if (colour)
            out += bold;
        out += file == standardInputArgument ? std::string(standardInputName) : terminalSafe(file);
        if (found != nullptr && found->line != 0 && found->column != 0)
            out += ':' + std::to_string(found->line) + ':' + std::to_string(found->column);
        out += ':';
        if (colour)
            out += plain;
        out += ' ';
        out += found != nullptr ? withoutLineFeeds(found->message) : std::string(successText);
        out += '\n';
        if (found != nullptr && !found->reason.empty())
            out.append(reasonIndent).append(reasonLabel).append(found->reason).append("\n");
        if (!shown)
            return out;

        const excerptDisplay& excerpt = *shown;
        const std::size_t gutter = std::to_string(std::max(excerpt.endLine, excerpt.firstLine + 1) - 1).size();
        const std::vector<excerptLine> lines = linesOf(excerpt);
        const std::size_t room = std::max<std::size_t>(width > gutter + 3 ? width - gutter - 3 : 0, 20);
        const bool fits = std::all_of(
            lines.begin(), lines.end(), [room](const excerptLine& line) { return columnsOf(line.whole()) <= room; });
        // Where a line is too wide, every line shows the same window of columns
        // around the mark, so that the lines and the carets stay level.
        std::size_t windowFrom = 0;
        for (const excerptLine& line : lines)
            if (!fits && line.place) {
                const std::size_t markColumn = columnsOf(line.before);
                windowFrom = markColumn > room / 3 ? markColumn - room / 3 : 0;
                break;
            }
        std::uint32_t number = excerpt.firstLine;
        for (const excerptLine& line : lines) {
            const std::string label = std::to_string(number++);
            out.append(gutter - std::min(gutter, label.size()), ' ').append(label).append(" | ");
            if (fits) {
                out += utf16ToUtf8(printable(line.before));
                if (!line.mark.empty())
                    out.append(colour ? redCode : "")
                        .append(utf16ToUtf8(printable(line.mark)))
                        .append(colour ? plain : "");
                out += utf16ToUtf8(printable(line.after)) + '\n';
                if (line.place) {
                    std::string marks = underline(line.mark, '^');
                    if (marks.find('^') == std::string::npos)
                        marks += '^';
                    out.append(gutter, ' ').append(" | ").append(underline(line.before, ' '));
                    out.append(colour ? redCode : "").append(marks).append(colour ? plain : "") += '\n';
                }
                continue;
            }
            out += windowed(line, windowFrom, room, colour, false) + '\n';
            if (line.place)
                out.append(gutter, ' ').append(" | ").append(windowed(line, windowFrom, room, colour, true)) += '\n';
        }
        return out;
    }

} // namespace

} // namespace kavrin
