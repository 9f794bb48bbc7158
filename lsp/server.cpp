#include "server.h"

#include "codes.h"
#include "fileReport.h"
#include "resultText.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <fstream>
#include <tuple>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;

    // JSON-RPC and protocol error codes.
    constexpr int parseError = -32700;
    constexpr int invalidRequest = -32600;
    constexpr int methodNotFound = -32601;
    constexpr int invalidParams = -32602;
    constexpr int serverNotInitialized = -32002;

    constexpr int severityError = 1;
    constexpr int syncIncremental = 2;
    constexpr std::string_view source = "kavrin";
    // Messages nested deeper are refused before they are parsed: the parser
    // recurses, and no message of the protocol comes near this.
    constexpr int maxNesting = 64;
    constexpr std::string_view savedFileLabel = "Gespeicherte Datei: ";

    json positionJson(editorPosition position)
    {
        return { { "line", position.line }, { "character", position.character } };
    }

    editorPosition positionFrom(const json& position)
    {
        return { position.at("line").get<std::uint32_t>(), position.at("character").get<std::uint32_t>() };
    }

    bool nestedDeeperThan(std::string_view body, int limit)
    {
        int depth = 0;
        bool inString = false;
        bool escaped = false;
        for (const char c : body) {
            if (inString) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"')
                    inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == '[' || c == '{') {
                if (++depth > limit)
                    return true;
            } else if (c == ']' || c == '}') {
                --depth;
            }
        }
        return false;
    }

    // JSON-RPC ids are strings or numbers; only those are echoed.
    bool isValidId(const json& id) { return id.is_string() || id.is_number() || id.is_null(); }

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
        return path;
    }

    // At most the bytes a check would read of the file.
    std::string savedBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(tzvParser::maximumFileSize, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
        return bytes;
    }

    // The editor's range of a violation's place and the part it marks. An
    // editor hides a UTF-8 BOM, which the checker counts.
    json rangeOf(std::string_view bytes, const fileReport& report, positionEncoding encoding)
    {
        editorPosition start;
        editorPosition end;
        if (report.line != 0) {
            const std::size_t bom
                = bytes.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark ? utf8::byteOrderMark.size() : 0;
            const std::string_view shown = bytes.substr(bom);
            const auto place = [&](std::uint64_t offset) {
                return static_cast<std::size_t>(std::max<std::uint64_t>(offset, bom) - bom);
            };
            start = positionOf(shown, place(report.offset), encoding);
            end = positionOf(shown, characterEnd(shown, place(report.offset + report.length)), encoding);
        }
        return { { "start", positionJson(start) }, { "end", positionJson(end) } };
    }

    json diagnostic(json range, std::string_view code, std::string message)
    {
        return { { "range", std::move(range) }, { "severity", severityError }, { "source", source }, { "code", code },
            { "message", std::move(message) } };
    }

} // namespace

server::server(std::function<void(const std::string& body)> send)
    : send(std::move(send))
{
}

// Texts from the client are UTF-8 already; a broken byte would only come from
// a file name or a value quoted in a reason, and is replaced, never refused.
void server::post(const json& message) { send(message.dump(-1, ' ', false, json::error_handler_t::replace)); }

void server::handle(const std::string& body, clock::time_point now)
{
    if (nestedDeeperThan(body, maxNesting)) {
        replyError(nullptr, invalidRequest, "Die Nachricht ist zu tief verschachtelt.");
        return;
    }
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        replyError(nullptr, parseError, "Die Nachricht ist kein gültiges JSON.");
        return;
    }
    const bool isObject = message.is_object();
    // A response from the client needs no answer.
    if (isObject && message.contains("id") && !message.contains("method")
        && (message.contains("result") || message.contains("error")))
        return;
    const json id = isObject ? message.value("id", json()) : json();
    if (!isObject || !message.contains("method") || !message["method"].is_string() || !isValidId(id)
        || message.value("jsonrpc", json()) != "2.0") {
        if (!isObject || message.contains("id") || !message.contains("method"))
            replyError(id, invalidRequest, "Die Nachricht ist keine gültige Anfrage.");
        return;
    }
    try {
        if (message.contains("id"))
            request(message, id);
        else
            notification(message, now);
    } catch (const json::exception&) {
        if (message.contains("id"))
            replyError(id, invalidParams, "Die Parameter der Anfrage sind ungültig.");
    }
}

void server::reportBadMessage(const char* what) { replyError(nullptr, parseError, what); }

void server::request(const json& message, const json& id)
{
    const std::string& method = message["method"].get_ref<const std::string&>();
    if (method == "initialize" && initialized) {
        replyError(id, invalidRequest, "Der Server ist bereits initialisiert.");
    } else if (method == "initialize") {
        const json params = message.value("params", json::object());
        const json offered = params.value("capabilities", json::object())
                                 .value("general", json::object())
                                 .value("positionEncodings", json::array());
        const bool utf8 = offered.is_array() && std::find(offered.begin(), offered.end(), "utf-8") != offered.end();
        encoding = utf8 ? positionEncoding::utf8 : positionEncoding::utf16;
        initialized = true;
        reply(id,
            { { "capabilities",
                  { { "positionEncoding", utf8 ? "utf-8" : "utf-16" },
                      { "textDocumentSync",
                          { { "openClose", true }, { "change", syncIncremental },
                              { "save", { { "includeText", false } } } } } } },
                { "serverInfo", { { "name", "kavrin-lsp" }, { "version", KAVRIN_VERSION } } } });
    } else if (!initialized) {
        replyError(id, serverNotInitialized, "Der Server ist noch nicht initialisiert.");
    } else if (shutDown) {
        replyError(id, invalidRequest, "Der Server wurde bereits beendet.");
    } else if (method == "shutdown") {
        shutDown = true;
        reply(id, nullptr);
    } else {
        replyError(id, methodNotFound, "Unbekannte Methode: " + method);
    }
}

void server::notification(const json& message, clock::time_point now)
{
    const std::string& method = message["method"].get_ref<const std::string&>();
    if (method == "exit") {
        exitStatus = shutDown ? 0 : 1;
        return;
    }
    if (!initialized || shutDown)
        return;
    const json& params = message.at("params");
    // A version that is no integer is not kept: the diagnostics go out
    // without one.
    const auto versionOf = [](const json& item) -> std::optional<std::int64_t> {
        const auto found = item.find("version");
        if (found == item.end() || !found->is_number_integer())
            return std::nullopt;
        return found->get<std::int64_t>();
    };
    // Everything a notification carries is read before anything changes, so
    // that a malformed one changes nothing.
    if (method == "textDocument/didOpen") {
        const json& item = params.at("textDocument");
        const std::string& uri = item.at("uri").get_ref<const std::string&>();
        std::string text = item.at("text").get<std::string>();
        document& open = documents[uri];
        open.text = std::move(text);
        open.version = versionOf(item);
        open.due = now;
        checkSaved(uri, open);
    } else if (method == "textDocument/didChange") {
        const json& item = params.at("textDocument");
        const auto found = documents.find(item.at("uri").get<std::string>());
        if (found == documents.end())
            return;
        std::string text = changedText(found->second, params.at("contentChanges"));
        found->second.text = std::move(text);
        found->second.version = versionOf(item);
        found->second.due = now + pause;
    } else if (method == "textDocument/didSave") {
        const auto found = documents.find(params.at("textDocument").at("uri").get<std::string>());
        if (found == documents.end())
            return;
        checkSaved(found->first, found->second);
        if (!found->second.due)
            found->second.due = now;
    } else if (method == "textDocument/didClose") {
        const std::string uri = params.at("textDocument").at("uri").get<std::string>();
        if (documents.erase(uri) > 0)
            post(json { { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" },
                { "params", { { "uri", uri }, { "diagnostics", json::array() } } } });
    }
}

// The text after the changes: a change with a range replaces that range, one
// without replaces the text. A malformed change throws, and none applies.
std::string server::changedText(const document& open, const json& changes) const
{
    std::string text = open.text;
    for (const json& change : changes) {
        std::string replacement = change.at("text").get<std::string>();
        if (!change.contains("range")) {
            text = std::move(replacement);
            continue;
        }
        const json& range = change.at("range");
        const std::size_t start = offsetOf(text, positionFrom(range.at("start")), encoding);
        const std::size_t end = std::max(start, offsetOf(text, positionFrom(range.at("end")), encoding));
        text.replace(start, end - start, replacement);
    }
    return text;
}

// The file on disk is what will be submitted, and the editor's decoding may
// hide what is wrong with it (an encoding, a BOM, the name). Where its
// outcome differs from the buffer's, it is published beside the buffer's
// until a save mends it. A file not saved yet has nothing to add.
void server::checkSaved(const std::string& uri, document& open)
{
    open.savedDiagnostic = nullptr;
    const std::optional<std::string> path = pathOfFileUri(uri);
    if (!path)
        return;
    const fileReport saved = reportOfFile(*path, withExcerpt::no);
    if (saved.code == codes::cannotOpen)
        return;
    const fileReport buffer = reportOfBytes({}, open.text, 0, withExcerpt::no);
    if (std::tie(saved.message, saved.line, saved.column, saved.code, saved.reason)
        == std::tie(buffer.message, buffer.line, buffer.column, buffer.code, buffer.reason))
        return;
    std::string message(savedFileLabel);
    message.append(saved.message);
    if (!saved.reason.empty())
        message.append("\n").append(saved.reason);
    const std::string bytes = saved.line != 0 ? savedBytes(*path) : std::string();
    open.savedDiagnostic = diagnostic(rangeOf(bytes, saved, encoding), saved.code, std::move(message));
}

std::optional<server::clock::time_point> server::nextDue() const
{
    std::optional<clock::time_point> earliest;
    for (const auto& [uri, open] : documents)
        if (open.due && (!earliest || *open.due < *earliest))
            earliest = open.due;
    return earliest;
}

void server::runDue(clock::time_point now)
{
    for (auto& [uri, open] : documents) {
        if (open.due && *open.due <= now) {
            open.due.reset();
            publish(uri, open);
        }
    }
}

void server::publish(const std::string& uri, const document& open)
{
    json diagnostics = json::array();
    if (json found = diagnosticOf(open.text); !found.is_null())
        diagnostics.push_back(std::move(found));
    if (!open.savedDiagnostic.is_null())
        diagnostics.push_back(open.savedDiagnostic);
    json params = { { "uri", uri } };
    if (open.version)
        params["version"] = *open.version;
    params["diagnostics"] = std::move(diagnostics);
    post(json {
        { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" }, { "params", std::move(params) } });
}

// The one diagnostic of a text, or null when it is correct.
json server::diagnosticOf(const std::string& text) const
{
    const fileReport report = reportOfBytes({}, text, 0, withExcerpt::no);
    if (report.valid)
        return nullptr;
    std::string message = report.message;
    if (!report.reason.empty())
        message.append("\n").append(report.reason);
    return diagnostic(rangeOf(text, report, encoding), report.code, std::move(message));
}

void server::reply(const json& id, json result)
{
    post(json { { "jsonrpc", "2.0" }, { "id", id }, { "result", std::move(result) } });
}

void server::replyError(const json& id, int code, const std::string& message)
{
    post(json { { "jsonrpc", "2.0" }, { "id", isValidId(id) ? id : json() },
        { "error", { { "code", code }, { "message", message } } } });
}

} // namespace kavrin::lsp
