#include "server.h"

#include "errorExcerpt.h"
#include "resultText.h"
#include "tzvParser.h"

#include <algorithm>

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

    json positionJson(editorPosition position)
    {
        return { { "line", position.line }, { "character", position.character } };
    }

    editorPosition positionFrom(const json& position)
    {
        return { position.at("line").get<std::uint32_t>(), position.at("character").get<std::uint32_t>() };
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
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        replyError(nullptr, parseError, "Die Nachricht ist kein gültiges JSON.");
        return;
    }
    if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
        // A response from the client needs no answer; anything else is no request.
        if (!(message.is_object() && message.contains("id")
                && (message.contains("result") || message.contains("error"))))
            replyError(message.is_object() ? message.value("id", json()) : json(), invalidRequest,
                "Die Nachricht ist keine gültige Anfrage.");
        return;
    }
    try {
        if (message.contains("id"))
            request(message, message["id"]);
        else
            notification(message, now);
    } catch (const json::exception&) {
        if (message.contains("id"))
            replyError(message["id"], invalidParams, "Die Parameter der Anfrage sind ungültig.");
    }
}

void server::reportBadMessage(const char* what) { replyError(nullptr, parseError, what); }

void server::request(const json& message, const json& id)
{
    const std::string& method = message["method"].get_ref<const std::string&>();
    if (method == "initialize") {
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
    if (method == "textDocument/didOpen") {
        const json& item = params.at("textDocument");
        document& open = documents[item.at("uri").get<std::string>()];
        open.text = item.at("text").get<std::string>();
        open.version = item.value("version", std::int64_t { 0 });
        open.due = now;
    } else if (method == "textDocument/didChange") {
        const json& id = params.at("textDocument");
        const auto found = documents.find(id.at("uri").get<std::string>());
        if (found == documents.end())
            return;
        applyChanges(found->second, params.at("contentChanges"));
        found->second.version = id.value("version", found->second.version);
        found->second.due = now + pause;
    } else if (method == "textDocument/didSave") {
        const auto found = documents.find(params.at("textDocument").at("uri").get<std::string>());
        if (found != documents.end() && !found->second.due)
            found->second.due = now;
    } else if (method == "textDocument/didClose") {
        const std::string uri = params.at("textDocument").at("uri").get<std::string>();
        if (documents.erase(uri) > 0)
            post(json { { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" },
                { "params", { { "uri", uri }, { "diagnostics", json::array() } } } });
    }
}

// A change with a range replaces that range; one without replaces the text.
void server::applyChanges(document& open, const json& changes) const
{
    for (const json& change : changes) {
        std::string replacement = change.at("text").get<std::string>();
        if (!change.contains("range")) {
            open.text = std::move(replacement);
            continue;
        }
        const json& range = change.at("range");
        const std::size_t start = offsetOf(open.text, positionFrom(range.at("start")), encoding);
        const std::size_t end = std::max(start, offsetOf(open.text, positionFrom(range.at("end")), encoding));
        open.text.replace(start, end - start, replacement);
    }
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
    if (json diagnostic = diagnosticOf(open.text); !diagnostic.is_null())
        diagnostics.push_back(std::move(diagnostic));
    post(json { { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" },
        { "params", { { "uri", uri }, { "version", open.version }, { "diagnostics", std::move(diagnostics) } } } });
}

// The one diagnostic of a text, or null when it is correct: the range runs
// from the reported place to the end of the part the excerpt marks.
json server::diagnosticOf(const std::string& text)
{
    tzvParser& parser = checker;
    parser.checkBytes(text);
    if (parser.message.empty())
        return nullptr;
    editorPosition start;
    editorPosition end;
    if (parser.errorLine != 0 && parser.errorColumn != 0) {
        errorExcerpt excerpt({});
        excerpt.bytes = text;
        excerpt.extract(parser.errorLine, parser.errorColumn);
        const std::size_t from = offsetOfPlace(text, parser.errorLine, parser.errorColumn);
        start = positionOf(text, from, encoding);
        end = positionOf(text, advanceInTextMode(text, from, excerpt.markedInputBytes), encoding);
    }
    std::string message = withoutLineFeeds(parser.message);
    if (!parser.reason.empty())
        message.append("\n").append(parser.reason);
    return { { "range", { { "start", positionJson(start) }, { "end", positionJson(end) } } },
        { "severity", severityError }, { "source", source }, { "code", parser.code }, { "message", message } };
}

void server::reply(const json& id, json result)
{
    post(json { { "jsonrpc", "2.0" }, { "id", id }, { "result", std::move(result) } });
}

void server::replyError(const json& id, int code, const std::string& message)
{
    post(json { { "jsonrpc", "2.0" }, { "id", id }, { "error", { { "code", code }, { "message", message } } } });
}

} // namespace kavrin::lsp
