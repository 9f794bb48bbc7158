#include "fileReport.h"

#include "errorExcerpt.h"
#include "format.h"
#include "reasonText.h"
#include "resultText.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kavrin {

namespace {

    // The bytes a JSON string cannot take as they are, or that may begin a
    // character to escape: controls, quote, backslash and every non-ASCII
    // byte.
    constexpr auto needsCare = [] {
        std::array<bool, 256> care {};
        for (int byte = 0; byte < 256; ++byte)
            care[byte] = byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\';
        return care;
    }();

    // Besides what JSON requires, C1 controls and characters that reorder or
    // break a line are written as \u escapes: the same string to a JSON
    // reader, and nothing a terminal showing the raw line could act on.
    void appendJsonString(std::string& out, std::string_view text)
    {
        const auto escape = [&out](char32_t c) { out.append("\\u").append(utf8::hex(c, 4, true)); };
        out.push_back('"');
        for (std::size_t i = 0; i < text.size(); ++i) {
            // Most of a text needs no escape: taken a run at a time.
            std::size_t plain = i;
            const auto careAt
                = [&text](std::size_t k) -> unsigned { return needsCare[static_cast<unsigned char>(text[k])]; };
            while (text.size() - plain >= 4
                && (careAt(plain) | careAt(plain + 1) | careAt(plain + 2) | careAt(plain + 3)) == 0)
                plain += 4;
            while (plain < text.size() && !careAt(plain))
                ++plain;
            out.append(text, i, plain - i);
            if ((i = plain) == text.size())
                break;
            const char c = text[i];
            const auto byte = static_cast<unsigned char>(c);
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    escape(byte);
                } else if (byte >= 0xC2) {
                    const std::size_t length = utf8::wellFormedLength(text, i);
                    const char32_t point = length == 0 ? 0 : utf8::decode(text, i, length);
                    if (length != 0 && ((point >= 0x80 && point < 0xA0) || utf8::reordersText(point))) {
                        escape(point);
                        i += length - 1;
                    } else {
                        out.push_back(c);
                    }
                } else {
                    out.push_back(c);
                }
            }
        }
        out.push_back('"');
    }

    // JSON carries UTF-8 only: a file name with other bytes gets U+FFFD for them.
    std::string validUtf8(std::string_view bytes) { return utf16ToUtf8(utf8ToUtf16(bytes)); }

    // The optional elements a summary notes, in the order of the file.
    template <class Each> void forEachOptional(const fileSummary& summary, Each&& each)
    {
        for (const format::element& e : format::elements)
            if (e.noted != nullptr)
                each(e.name, summary.*e.noted);
    }

} // namespace

std::string fileReport::message() const
{
    return valid() ? std::string(successText) : withoutLineFeeds(checked.violations.front().message);
}

fileReport reportOf(std::string file, const source& what, std::size_t maxViolations)
{
    return { std::move(file), check(what, { maxViolations, true }), maxViolations > 1 };
}

fileReport readingOf(std::string file, const source& what)
{
    options reading;
    reading.keepInput = true;
    reading.contentRules = false;
    return { std::move(file), check(what, reading), false };
}

std::optional<excerptDisplay> excerptOf(const fileReport& report, std::size_t index)
{
    const std::vector<violation>& found = report.checked.violations;
    if (index >= found.size() || found[index].line == 0 || found[index].column == 0 || !report.checked.input)
        return std::nullopt;
    const violation& shown = found[index];
    errorExcerpt excerpt(report.checked.input.view());
    if (index == 0)
        excerpt.extract(shown.line, shown.column);
    else
        excerpt.extractNear(shown.line, shown.column, shown.offset);
    return displayOf(excerpt);
}

std::string summaryText(const fileSummary& summary)
{
    const auto counted = [](std::uint32_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string text = counted(summary.tickets, "Schein", "Scheine") + ", " + counted(summary.tips, "Tipp", "Tipps");
    if (summary.goalScoreTips > 0)
        text += ", " + counted(summary.goalScoreTips, "Torwette", "Torwetten");
    text += ", " + kavrin::reasons::game(summary.gameType) + ", Version "
        + kavrin::reasons::escaped(summary.version, 16);
    std::string with;
    forEachOptional(summary, [&with](std::string_view name, bool present) {
        if (present)
            with += (with.empty() ? "" : ", ") + std::string(name);
    });
    if (!with.empty())
        text += "; mit " + with;
    return text;
}

std::string jsonQuoted(std::string_view text)
{
    std::string out;
    appendJsonString(out, validUtf8(text));
    return out;
}

std::string moreViolationsText(std::size_t limit)
{
    return "… und weitere Verstöße; Grenze " + std::to_string(limit) + " erreicht.";
}

std::string violationCountText(std::size_t violations, std::size_t files)
{
    return std::to_string(violations) + (violations == 1 ? " Verstoß in " : " Verstöße in ") + std::to_string(files)
        + (files == 1 ? " Datei" : " Dateien");
}

namespace {

    void appendExcerpt(std::string& out, const std::optional<excerptDisplay>& shown)
    {
        if (!shown) {
            out += "null";
            return;
        }
        const excerptDisplay& excerpt = *shown;
        out += "{\"text\":";
        appendJsonString(out, utf16ToUtf8(excerpt.text));
        out += ",\"highlight\":[" + std::to_string(excerpt.highlightStart.units) + ','
            + std::to_string(excerpt.highlightEnd.units) + ']';
        out += ",\"firstLine\":" + std::to_string(excerpt.firstLine) + ",\"endLine\":" + std::to_string(excerpt.endLine)
            + "}";
    }

    void appendSummary(std::string& out, const fileSummary& summary)
    {
        out += "{\"gameType\":" + std::to_string(summary.gameType) + ",\"game\":";
        appendJsonString(out, kavrin::reasons::game(summary.gameType));
        out += ",\"version\":";
        appendJsonString(out, validUtf8(summary.version));
        out += ",\"tickets\":" + std::to_string(summary.tickets) + ",\"tips\":" + std::to_string(summary.tips)
            + ",\"goalScoreTips\":" + std::to_string(summary.goalScoreTips);
        forEachOptional(summary, [&out](std::string_view name, bool present) {
            out.append(",\"").append(name).append("\":").append(present ? "true" : "false");
        });
        out += "}";
    }

} // namespace

void writeJsonReport(const fileReport& report, const textSink& write, const excerptMaker& excerpts)
{
    const auto excerptAt = [&](std::size_t index) { return excerpts ? excerpts(index) : excerptOf(report, index); };
    const result& checked = report.checked;
    const violation* first = checked.first();
    std::string out = "{\"file\":";
    appendJsonString(out, validUtf8(report.file));
    out += first == nullptr ? ",\"valid\":true" : ",\"valid\":false";
    out += ",\"message\":";
    appendJsonString(out, validUtf8(report.message()));
    out += ",\"line\":" + std::to_string(first ? first->line : 0)
        + ",\"column\":" + std::to_string(first ? first->column : 0);
    out += ",\"code\":";
    if (first == nullptr)
        out += "null";
    else
        appendJsonString(out, first->code);
    out += ",\"reason\":";
    if (first == nullptr)
        out += "null";
    else
        appendJsonString(out, validUtf8(first->reason));
    out += ",\"excerpt\":";
    // The first excerpt is whole and may be long: made once for both places
    // it stands.
    std::string firstExcerpt;
    appendExcerpt(firstExcerpt, excerptAt(0));
    out += firstExcerpt;
    if (first == nullptr) {
        out += ",\"summary\":";
        appendSummary(out, checked.summary);
    }
    if (report.everyViolation && first != nullptr) {
        out += ",\"violations\":[";
        for (std::size_t i = 0; i < checked.violations.size(); ++i) {
            const violation& found = checked.violations[i];
            out += i == 0 ? "{\"message\":" : ",{\"message\":";
            appendJsonString(out, validUtf8(withoutLineFeeds(found.message)));
            out += ",\"line\":" + std::to_string(found.line) + ",\"column\":" + std::to_string(found.column)
                + ",\"offset\":" + std::to_string(found.offset) + ",\"length\":" + std::to_string(found.length)
                + ",\"code\":";
            appendJsonString(out, found.code);
            out += ",\"reason\":";
            appendJsonString(out, validUtf8(found.reason));
            out += ",\"excerpt\":";
            if (i == 0)
                out += firstExcerpt;
            else
                appendExcerpt(out, excerptAt(i));
            out += "}";
            write(out);
            out.clear();
        }
        out += "],\"violationsCut\":";
        out += checked.violationsCut ? "true" : "false";
    }
    write(out + "}");
}

std::string jsonReport(const fileReport& report)
{
    std::string out;
    writeJsonReport(report, [&out](std::string_view piece) { out += piece; });
    return out;
}

} // namespace kavrin
