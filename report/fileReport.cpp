#include "fileReport.h"

#include "errorExcerpt.h"
#include "resultText.h"
#include "tzvParser.h"
#include "utf8.h"

namespace kavrin {

namespace {

    // The outcome of a finished check; the excerpt is read from the same
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
        if (wanted == withExcerpt::yes && !report.valid && parser.errorLine != 0 && parser.errorColumn != 0) {
            errorExcerpt excerpt(report.file);
            excerpt.bytes = bytes;
            excerpt.extract(parser.errorLine, parser.errorColumn);
            report.excerpt = displayOf(excerpt);
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

fileReport reportOfFile(const std::string& name, withExcerpt excerpt)
{
    tzvParser parser;
    parser.fileName = name;
    parser.check();
    return reportOf(parser, name, std::nullopt, excerpt);
}

fileReport reportOfBytes(std::string name, std::string_view bytes, std::uint64_t wholeSize, withExcerpt excerpt)
{
    tzvParser parser;
    parser.checkBytes(bytes, wholeSize);
    return reportOf(parser, std::move(name), bytes, excerpt);
}

fileReport reportOfFileBytes(const std::string& name, std::string_view bytes, std::uint64_t wholeSize)
{
    tzvParser parser;
    parser.fileName = name;
    parser.checkFileBytes(bytes, wholeSize);
    return reportOf(parser, name, bytes);
}

fileReport reportOfUnreadable(const std::string& name)
{
    tzvParser parser;
    parser.fileName = name;
    parser.checkUnreadable();
    return reportOf(parser, name, std::nullopt);
}

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
    if (!report.excerpt) {
        out += "null}";
        return out;
    }
    const excerptDisplay& excerpt = *report.excerpt;
    out += "{\"text\":";
    appendJsonString(out, utf16ToUtf8(excerpt.text));
    out += ",\"highlight\":[" + std::to_string(excerpt.highlightStart.units) + ','
        + std::to_string(excerpt.highlightEnd.units) + ']';
    out += ",\"firstLine\":" + std::to_string(excerpt.firstLine) + ",\"endLine\":" + std::to_string(excerpt.endLine)
        + "}}";
    return out;
}

} // namespace kavrin
