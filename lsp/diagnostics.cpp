#include "diagnostics.h"

#include "codes.h"
#include "kavrin.h"
#include "outline.h"
#include "protocol.h"
#include "resultText.h"
#include "utf8.h"

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

    // The editor's range of a violation's place and the part it marks.
    json rangeOf(std::string_view bytes, const violation& found, positionEncoding encoding)
    {
        if (found.line == 0)
            return protocol::rangeJson({}, {});
        return rangeOfBytes(bytes, found.offset, found.offset + found.length, encoding);
    }

    json diagnostic(std::string_view bytes, const violation& found, positionEncoding encoding, std::string message)
    {
        if (!found.reason.empty())
            message.append("\n").append(found.reason);
        return { { "range", rangeOf(bytes, found, encoding) }, { "severity", protocol::severityError },
            { "source", source }, { "code", found.code }, { "message", std::move(message) } };
    }

} // namespace

json rangeOfBytes(std::string_view bytes, std::uint64_t start, std::uint64_t end, positionEncoding encoding)
{
    return protocol::rangeJson(positionOf(bytes, static_cast<std::size_t>(start), encoding),
        positionOf(bytes, characterEnd(bytes, static_cast<std::size_t>(end)), encoding));
}

json diagnosticsOfText(const std::string& uri, std::string_view text, positionEncoding encoding)
{
    const result checked = check(source::bytes(text), { defaultMaxViolations });
    json diagnostics = json::array();
    for (const violation& found : checked.violations) {
        json item = diagnostic(text, found, encoding, withoutLineFeeds(found.message));
        if (json related = relatedPlaces(uri, text, found.code, found.offset, encoding); !related.empty())
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
    // The file and its ranges from the one reading of it.
    const result saved = check(source::file(*path), { 1, true });
    const violation none;
    const violation& first = saved.valid() ? none : saved.violations.front();
    if (first.code == codes::cannotOpen)
        return nullptr;
    const result buffer = check(source::bytes(text));
    const violation& other = buffer.valid() ? none : buffer.violations.front();
    if (std::tie(first.message, first.line, first.column, first.code, first.reason)
        == std::tie(other.message, other.line, other.column, other.code, other.reason))
        return nullptr;
    const std::string_view bytes = saved.input.view();
    // The editor shows the saved file without the byte-order mark it hides.
    const std::size_t hidden = hiddenByEditor(bytes);
    violation shown = first;
    shown.offset = std::max<std::uint64_t>(first.offset, hidden) - hidden;
    shown.length = std::max<std::uint64_t>(first.offset + first.length, hidden) - hidden - shown.offset;
    const std::string message = saved.valid() ? std::string(successText) : withoutLineFeeds(first.message);
    json found = diagnostic(bytes.substr(hidden), shown, encoding, std::string(savedFileLabel) + message);
    if (codes::isAboutEncoding(first.code))
        found["message"] = found["message"].get<std::string>() + "\n" + std::string(saveAsUtf8);
    return found;
}

} // namespace kavrin::lsp
