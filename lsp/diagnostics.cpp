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
    // The saved file is correct where the editor's text is not: no rule of
    // the check, so a code of the server's own.
    constexpr std::string_view savedFileCorrect = "saved-file-correct";
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

    // The text checked as it will be saved, the hidden bytes first; its
    // places are moved back onto the text.
    result checkedAsSaved(std::string_view text, std::string_view hidden, std::size_t maxViolations)
    {
        if (hidden.empty())
            return check(source::bytes(text), { maxViolations });
        std::string saved;
        saved.reserve(hidden.size() + text.size());
        saved.append(hidden).append(text);
        result checked = check(source::bytes(saved), { maxViolations });
        for (violation& found : checked.violations) {
            if (found.line == 0)
                continue;
            const std::uint64_t end = std::max<std::uint64_t>(found.offset + found.length, hidden.size());
            found.offset = std::max<std::uint64_t>(found.offset, hidden.size()) - hidden.size();
            found.length = end - hidden.size() - found.offset;
        }
        return checked;
    }

    // The editor's range of a violation's place and the part it marks.
    json rangeOf(const lineIndex& lines, const violation& found)
    {
        if (found.line == 0)
            return protocol::rangeJson({}, {});
        return rangeOfBytes(lines, found.offset, found.offset + found.length);
    }

    json diagnostic(const lineIndex& lines, const violation& found, std::string message)
    {
        if (!found.reason.empty())
            message.append("\n").append(found.reason);
        return { { "range", rangeOf(lines, found) }, { "severity", protocol::severityError }, { "source", source },
            { "code", found.code }, { "message", std::move(message) } };
    }

} // namespace

json rangeOfBytes(const lineIndex& lines, std::uint64_t start, std::uint64_t end)
{
    return protocol::rangeJson(lines.positionOf(static_cast<std::size_t>(start)),
        lines.positionOf(characterEnd(lines.text(), static_cast<std::size_t>(end))));
}

json diagnosticsOfText(const std::string& uri, const textVersion& text, std::string_view hidden)
{
    const result checked = checkedAsSaved(text.text(), hidden, defaultMaxViolations);
    json diagnostics = json::array();
    for (const violation& found : checked.violations) {
        json item = diagnostic(text.lines(), found, withoutLineFeeds(found.message));
        if (json related = relatedPlaces(uri, text, found.code, found.offset); !related.empty())
            item["relatedInformation"] = std::move(related);
        diagnostics.push_back(std::move(item));
    }
    return diagnostics;
}

savedFile savedFileOf(std::string_view uri, const textVersion& text)
{
    const std::optional<std::string> path = pathOfFileUri(uri);
    if (!path)
        return { {}, nullptr };
    // The file and its ranges from the one reading of it.
    const result saved = check(source::file(*path), { 1, true });
    const violation none;
    const violation& first = saved.valid() ? none : saved.violations.front();
    if (first.code == codes::cannotOpen)
        return { {}, nullptr };
    const std::string_view bytes = saved.input.view();
    // The editor shows the saved file without the byte-order mark it hides,
    // and saves it again with it.
    const std::size_t hiddenBytes = hiddenByEditor(bytes);
    const std::string_view hidden = hiddenBytes > 0 && hiddenByEditor(text.text()) == 0 ? utf8::byteOrderMark : "";
    const result buffer = checkedAsSaved(text.text(), hidden, 1);
    const violation& other = buffer.valid() ? none : buffer.violations.front();
    if (std::tie(first.message, first.line, first.column, first.code, first.reason)
        == std::tie(other.message, other.line, other.column, other.code, other.reason))
        return { hidden, nullptr };
    if (saved.valid())
        return { hidden,
            { { "range", protocol::rangeJson({}, {}) }, { "severity", protocol::severityInformation },
                { "source", source }, { "code", savedFileCorrect },
                { "message", std::string(savedFileLabel) + std::string(successText) } } };
    violation shown = first;
    shown.offset = std::max<std::uint64_t>(first.offset, hiddenBytes) - hiddenBytes;
    shown.length = std::max<std::uint64_t>(first.offset + first.length, hiddenBytes) - hiddenBytes - shown.offset;
    const lineIndex lines(bytes.substr(hiddenBytes), text.encoding());
    json found = diagnostic(lines, shown, std::string(savedFileLabel) + withoutLineFeeds(first.message));
    if (codes::isAboutEncoding(first.code))
        found["message"] = found["message"].get<std::string>() + "\n" + std::string(saveAsUtf8);
    return { hidden, std::move(found) };
}

} // namespace kavrin::lsp
