#include "diagnostics.h"

#include "codes.h"
#include "fileReport.h"
#include "fileSource.h"
#include "outline.h"
#include "protocol.h"
#include "tzvParser.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;

    constexpr std::string_view source = "kavrin";
    constexpr std::string_view savedFileLabel = "Gespeicherte Datei: ";
    // The editor shows the text decoded; only saving it again as UTF-8 mends
    // the bytes, so no edit is offered.
    constexpr std::string_view saveAsUtf8
        = "Bitte als UTF-8 speichern, dann wird neu geprüft: in Neovim mit :set fileencoding=utf-8 nobomb und :w, "
          "in VS Code über die Kodierung in der Statusleiste und „Mit Codierung speichern“.";
    constexpr std::string_view encodingCodes[]
        = { codes::invalidUtf8, codes::wrongFirstBytes, codes::nulByte, codes::unsupportedEncoding };

    int hexDigit(char c)
    {
        return c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'  ? c - 'a' + 10
            : c >= 'A' && c <= 'F'  ? c - 'A' + 10
                                    : -1;
    }

    // The local path of a file: URI, or nothing for any other document.
    std::optional<std::string> pathOfFileUri(std::string_view uri)
    {
        constexpr std::string_view scheme = "file://";
        constexpr std::string_view localHost = "localhost";
        if (uri.substr(0, scheme.size()) != scheme)
            return std::nullopt;
        uri.remove_prefix(scheme.size());
        if (uri.substr(0, localHost.size()) == localHost)
            uri.remove_prefix(localHost.size());
        if (uri.empty() || uri.front() != '/')
            return std::nullopt;
        std::string path;
        for (std::size_t i = 0; i < uri.size() && uri[i] != '?' && uri[i] != '#'; ++i) {
            if (uri[i] == '%' && i + 2 < uri.size() && hexDigit(uri[i + 1]) >= 0 && hexDigit(uri[i + 2]) >= 0) {
                path.push_back(static_cast<char>(hexDigit(uri[i + 1]) * 16 + hexDigit(uri[i + 2])));
                i += 2;
            } else {
                path.push_back(uri[i]);
            }
        }
        if (path.find('\0') != std::string::npos)
            return std::nullopt;
#ifdef _WIN32
        // file:///C:/x names C:/x: a drive letter has no slash before it.
        if (path.size() >= 3 && path[2] == ':')
            path.erase(0, 1);
#endif
        return path;
    }

    // At most the bytes a check would read of the file, read as the check
    // opens it.
    std::string savedBytes(const std::string& path)
    {
        const fileSource::opened file = fileSource::openRegular(path);
        if (file.descriptor < 0)
            return {};
        std::string bytes(std::min<std::uint64_t>(file.size, tzvParser::maximumFileSize), '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::ptrdiff_t n = fileSource::readSome(
                file.descriptor, reinterpret_cast<unsigned char*>(bytes.data()) + got, bytes.size() - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        fileSource::closeFile(file.descriptor);
        bytes.resize(got);
        return bytes;
    }

    // The editor's range of a violation's place and the part it marks.
    json rangeOf(std::string_view bytes, const fileReport& report, positionEncoding encoding)
    {
        if (report.line == 0)
            return protocol::rangeJson({}, {});
        return rangeOfBytes(bytes, report.offset, report.offset + report.length, encoding);
    }

    json diagnostic(std::string_view bytes, const fileReport& report, positionEncoding encoding, std::string message)
    {
        if (!report.reason.empty())
            message.append("\n").append(report.reason);
        return { { "range", rangeOf(bytes, report, encoding) }, { "severity", protocol::severityError },
            { "source", source }, { "code", report.code }, { "message", std::move(message) } };
    }

} // namespace

json rangeOfBytes(std::string_view bytes, std::uint64_t start, std::uint64_t end, positionEncoding encoding)
{
    return protocol::rangeJson(positionOf(bytes, static_cast<std::size_t>(start), encoding),
        positionOf(bytes, characterEnd(bytes, static_cast<std::size_t>(end)), encoding));
}

json diagnosticsOfText(const std::string& uri, std::string_view text, positionEncoding encoding)
{
    const fileReport report = reportOfBytes({}, text, 0, withExcerpt::no, tzvParser::defaultMaxViolations);
    json diagnostics = json::array();
    for (const violationReport& found : report.violations) {
        const fileReport each = reportOfViolation(report, found);
        json item = diagnostic(text, each, encoding, each.message);
        if (json related = relatedPlaces(uri, text, each.code, each.offset, encoding); !related.empty())
            item["relatedInformation"] = std::move(related);
        diagnostics.push_back(std::move(item));
    }
    return diagnostics;
}

json diagnosticOfSavedFile(std::string_view uri, std::string_view text, positionEncoding encoding)
{
    const std::optional<std::string> path = pathOfFileUri(uri);
    if (!path)
        return nullptr;
    const fileReport saved = reportOfFile(*path, withExcerpt::no);
    if (saved.code == codes::cannotOpen)
        return nullptr;
    const fileReport buffer = reportOfBytes({}, text, 0, withExcerpt::no);
    if (std::tie(saved.message, saved.line, saved.column, saved.code, saved.reason)
        == std::tie(buffer.message, buffer.line, buffer.column, buffer.code, buffer.reason))
        return nullptr;
    const std::string bytes = saved.line != 0 ? savedBytes(*path) : std::string();
    // The editor shows the saved file without the byte-order mark it hides.
    const std::size_t hidden = hiddenByEditor(bytes);
    fileReport shown = saved;
    shown.offset = std::max<std::uint64_t>(saved.offset, hidden) - hidden;
    shown.length = std::max<std::uint64_t>(saved.offset + saved.length, hidden) - hidden - shown.offset;
    json found = diagnostic(
        std::string_view(bytes).substr(hidden), shown, encoding, std::string(savedFileLabel) + saved.message);
    if (std::find(std::begin(encodingCodes), std::end(encodingCodes), saved.code) != std::end(encodingCodes))
        found["message"] = found["message"].get<std::string>() + "\n" + std::string(saveAsUtf8);
    return found;
}

} // namespace kavrin::lsp
