#include "fileReport.h"

#include "errorExcerpt.h"
#include "reasonText.h"
#include "resultText.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <fstream>

namespace kavrin {

namespace {

    // The outcome of a finished check; the excerpts are read from the same
    // source the check read.
    fileReport reportOf(const tzvParser& parser, std::string name, std::optional<std::string_view> bytes,
        withExcerpt wanted = withExcerpt::yes)
    {
        fileReport report;
        report.file = std::move(name);
        report.openedName = parser.openedName;
        report.valid = parser.message.empty();
        report.message = report.valid ? std::string(successText) : withoutLineFeeds(parser.message);
        report.line = parser.errorLine;
        report.column = parser.errorColumn;
        report.code = parser.code;
        report.reason = parser.reason;
        if (!parser.violations.empty()) {
            report.offset = parser.violations.front().offset;
            report.length = parser.violations.front().length;
        }
        if (report.valid)
            report.summary = parser.summary;
        if (wanted == withExcerpt::yes && !report.valid && parser.errorLine != 0 && parser.errorColumn != 0) {
            errorExcerpt excerpt(report.file);
            excerpt.bytes = bytes;
            excerpt.extract(parser.errorLine, parser.errorColumn);
            report.excerpt = displayOf(excerpt);
        }
        if (parser.maxViolations <= 1)
            return report;
        report.violationsCut = parser.violationsCut;
        // The later excerpts are read near their places, from the bytes in
        // memory; a file is read once for them.
        std::string fileBytes;
        if (!bytes && parser.violations.size() > 1) {
            std::ifstream in(report.openedName, std::ios::binary);
            fileBytes.resize(tzvParser::maximumFileSize);
            in.read(fileBytes.data(), static_cast<std::streamsize>(fileBytes.size()));
            fileBytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
            bytes = fileBytes;
        }
        for (std::size_t i = 0; i < parser.violations.size(); ++i) {
            const kavrin::violation& found = parser.violations[i];
            violationReport entry { withoutLineFeeds(found.message), found.line, found.column, std::string(found.code),
                found.reason, found.offset, found.length, std::nullopt };
            if (i == 0)
                entry.excerpt = report.excerpt;
            else if (wanted == withExcerpt::yes && found.line != 0) {
                errorExcerpt excerpt(report.file);
                excerpt.bytes = bytes;
                excerpt.extractNear(found.line, found.column, found.offset);
                entry.excerpt = displayOf(excerpt);
            }
            report.violations.push_back(std::move(entry));
        }
        return report;
    }

    // Besides what JSON requires, C1 controls and characters that reorder or
    // break a line are written as \u escapes: the same string to a JSON
    // reader, and nothing a terminal showing the raw line could act on.
    void appendJsonString(std::string& out, std::string_view text)
    {
        const auto escape = [&out](char32_t c) { out.append("\\u").append(utf8::hex(c, 4, true)); };
        out.push_back('"');
        for (std::size_t i = 0; i < text.size(); ++i) {
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

} // namespace

fileReport reportOfViolation(const fileReport& whole, const violationReport& found)
{
    fileReport report;
    report.file = whole.file;
    report.openedName = whole.openedName;
    report.message = found.message;
    report.line = found.line;
    report.column = found.column;
    report.code = found.code;
    report.reason = found.reason;
    report.offset = found.offset;
    report.length = found.length;
    report.excerpt = found.excerpt;
    return report;
}

fileReport reportOfFile(const std::string& name, withExcerpt excerpt, std::size_t maxViolations)
{
    tzvParser parser;
    parser.fileName = name;
    parser.maxViolations = maxViolations;
    parser.check();
    return reportOf(parser, name, std::nullopt, excerpt);
}

fileReport reportOfBytes(
    std::string name, std::string_view bytes, std::uint64_t wholeSize, withExcerpt excerpt, std::size_t maxViolations)
{
    tzvParser parser;
    parser.maxViolations = maxViolations;
    parser.checkBytes(bytes, wholeSize);
    return reportOf(parser, std::move(name), bytes, excerpt);
}

fileReport reportOfFileBytes(
    const std::string& name, std::string_view bytes, std::uint64_t wholeSize, std::size_t maxViolations)
{
    tzvParser parser;
    parser.fileName = name;
    parser.maxViolations = maxViolations;
    parser.checkFileBytes(bytes, wholeSize);
    return reportOf(parser, name, bytes);
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
    const std::pair<bool, const char*> extras[]
        = { { summary.customerNumber, "kundenNr" }, { summary.gameId, "spielID" }, { summary.duration, "tnDauer" },
              { summary.filter, "filter" }, { summary.wimbel, "wimbel" }, { summary.ziroPlus, "ziroPlus" } };
    std::string with;
    for (const auto& [present, name] : extras)
        if (present)
            with += (with.empty() ? "" : ", ") + std::string(name);
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

fileReport reportOfUnreadable(const std::string& name)
{
    tzvParser parser;
    parser.fileName = name;
    parser.checkUnreadable();
    return reportOf(parser, name, std::nullopt);
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
        const std::pair<bool, const char*> extras[]
            = { { summary.customerNumber, "kundenNr" }, { summary.gameId, "spielID" }, { summary.duration, "tnDauer" },
                  { summary.filter, "filter" }, { summary.wimbel, "wimbel" }, { summary.ziroPlus, "ziroPlus" } };
        for (const auto& [present, name] : extras)
            out += std::string(",\"") + name + "\":" + (present ? "true" : "false");
        out += "}";
    }

} // namespace

std::string jsonReport(const fileReport& report)
{
    std::string out = "{\"file\":";
    appendJsonString(out, validUtf8(report.file));
    out += report.valid ? ",\"valid\":true" : ",\"valid\":false";
    out += ",\"message\":";
    appendJsonString(out, validUtf8(report.message));
    out += ",\"line\":" + std::to_string(report.line) + ",\"column\":" + std::to_string(report.column);
    out += ",\"code\":";
    if (report.valid)
        out += "null";
    else
        appendJsonString(out, report.code);
    out += ",\"reason\":";
    if (report.valid)
        out += "null";
    else
        appendJsonString(out, validUtf8(report.reason));
    out += ",\"excerpt\":";
    appendExcerpt(out, report.excerpt);
    if (report.summary) {
        out += ",\"summary\":";
        appendSummary(out, *report.summary);
    }
    if (!report.violations.empty()) {
        out += ",\"violations\":[";
        for (const violationReport& found : report.violations) {
            out += out.back() == '[' ? "{\"message\":" : ",{\"message\":";
            appendJsonString(out, validUtf8(found.message));
            out += ",\"line\":" + std::to_string(found.line) + ",\"column\":" + std::to_string(found.column)
                + ",\"offset\":" + std::to_string(found.offset) + ",\"length\":" + std::to_string(found.length)
                + ",\"code\":";
            appendJsonString(out, found.code);
            out += ",\"reason\":";
            appendJsonString(out, validUtf8(found.reason));
            out += ",\"excerpt\":";
            appendExcerpt(out, found.excerpt);
            out += "}";
        }
        out += "],\"violationsCut\":";
        out += report.violationsCut ? "true" : "false";
    }
    return out + "}";
}

} // namespace kavrin
