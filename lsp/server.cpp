#include "server.h"

#include "codeActions.h"
#include "diagnostics.h"
#include "framing.h"
#include "outline.h"
#include "protocol.h"

#include <algorithm>

namespace kavrin::lsp {

using nlohmann::json;
namespace rpc = protocol;

const std::map<std::string_view, server::requestHandler> server::requestHandlers = {
    { "initialize", &server::initialize },
    { "shutdown", &server::shutdown },
    { "textDocument/codeAction", &server::codeAction },
    { "textDocument/hover", &server::hover },
    { "textDocument/documentSymbol", &server::documentSymbol },
};

const std::map<std::string_view, server::notificationHandler> server::notificationHandlers = {
    { "textDocument/didOpen", &server::didOpen },
    { "textDocument/didChange", &server::didChange },
    { "textDocument/didSave", &server::didSave },
    { "textDocument/didClose", &server::didClose },
};

server::server(std::function<void(const std::string& body)> send)
    : send(std::move(send))
{
}

// Texts from the client are UTF-8 already; a broken byte would only come from
// a file name or a value quoted in a reason, and is replaced, never refused.
void server::post(const json& message) { send(message.dump(-1, ' ', false, json::error_handler_t::replace)); }

void server::handle(const std::string& body, clock::time_point now)
{
    if (rpc::nestedDeeperThan(body, rpc::maxNesting)) {
        post(rpc::errorResponse(nullptr, rpc::invalidRequest, "Die Nachricht ist zu tief verschachtelt."));
        return;
    }
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        post(rpc::errorResponse(nullptr, rpc::parseError, "Die Nachricht ist kein gültiges JSON."));
        return;
    }
    const bool isObject = message.is_object();
    // A response from the client needs no answer.
    if (isObject && message.contains("id") && !message.contains("method")
        && (message.contains("result") || message.contains("error")))
        return;
    const json id = isObject ? message.value("id", json()) : json();
    if (!isObject || !message.contains("method") || !message["method"].is_string() || !rpc::isValidId(id)
        || message.value("jsonrpc", json()) != "2.0") {
        if (!isObject || message.contains("id") || !message.contains("method"))
            post(rpc::errorResponse(id, rpc::invalidRequest, "Die Nachricht ist keine gültige Anfrage."));
        return;
    }
    try {
        if (message.contains("id"))
            request(message, id);
        else
            notification(message, now);
    } catch (const json::exception&) {
        if (message.contains("id"))
            post(rpc::errorResponse(id, rpc::invalidParams, "Die Parameter der Anfrage sind ungültig."));
    }
}

void server::reportBadMessage(const char* what) { post(rpc::errorResponse(nullptr, rpc::parseError, what)); }

void server::request(const json& message, const json& id)
{
    const std::string& method = message["method"].get_ref<const std::string&>();
    const bool isInitialize = method == "initialize";
    if (isInitialize && initialized)
        return post(rpc::errorResponse(id, rpc::invalidRequest, "Der Server ist bereits initialisiert."));
    if (!isInitialize && !initialized)
        return post(rpc::errorResponse(id, rpc::serverNotInitialized, "Der Server ist noch nicht initialisiert."));
    if (shutDown)
        return post(rpc::errorResponse(id, rpc::invalidRequest, "Der Server wurde bereits beendet."));
    const auto handler = requestHandlers.find(method);
    if (handler == requestHandlers.end())
        return post(rpc::errorResponse(id, rpc::methodNotFound, "Unbekannte Methode: " + method));
    (this->*handler->second)(message, id);
}

void server::notification(const json& message, clock::time_point now)
{
    const std::string& method = message["method"].get_ref<const std::string&>();
    if (method == "exit") {
        exitStatus = shutDown ? 0 : 1;
        return;
    }
    const auto handler = notificationHandlers.find(method);
    if (!initialized || shutDown || handler == notificationHandlers.end())
        return;
    (this->*handler->second)(message.at("params"), now);
}

void server::initialize(const json& message, const json& id)
{
    const json params = message.value("params", json::object());
    const json offered = params.value("capabilities", json::object())
                             .value("general", json::object())
                             .value("positionEncodings", json::array());
    const bool utf8 = offered.is_array() && std::find(offered.begin(), offered.end(), "utf-8") != offered.end();
    const json client = params.value("clientInfo", json::object());
    const json name = client.is_object() ? client.value("name", json()) : json();
    encoding = encodingAgreed(utf8, name.is_string() ? name.get<std::string>() : std::string());
    initialized = true;
    post(rpc::response(id,
        { { "capabilities",
              { { "positionEncoding", utf8 ? "utf-8" : "utf-16" },
                  { "textDocumentSync",
                      { { "openClose", true }, { "change", rpc::syncIncremental },
                          { "save", { { "includeText", false } } } } },
                  { "codeActionProvider", { { "codeActionKinds", { quickFixKind, fixAllKind } } } },
                  { "hoverProvider", true }, { "documentSymbolProvider", true } } },
            { "serverInfo", { { "name", "kavrin-lsp" }, { "version", KAVRIN_VERSION } } } }));
}

void server::shutdown(const json&, const json& id)
{
    shutDown = true;
    post(rpc::response(id, nullptr));
}

server::document* server::documentOf(const json& message)
{
    const auto found = documents.find(message.at("params").at("textDocument").at("uri").get<std::string>());
    return found == documents.end() ? nullptr : &found->second;
}

// A request about a document that is not open is answered as one about an
// empty document.
void server::codeAction(const json& message, const json& id)
{
    const json& params = message.at("params");
    document* open = documentOf(message);
    if (open == nullptr)
        return post(rpc::response(id, json::array()));
    if (!open->repaired)
        open->repaired = repairBytes(open->text);
    post(rpc::response(id,
        codeActions(
            params.at("textDocument").at("uri").get<std::string>(), open->text, *open->repaired, params, encoding)));
}

void server::hover(const json& message, const json& id)
{
    const document* open = documentOf(message);
    const editorPosition at = rpc::positionFrom(message.at("params").at("position"));
    post(rpc::response(id, open ? hoverAt(open->text, at, encoding) : json()));
}

void server::documentSymbol(const json& message, const json& id)
{
    const document* open = documentOf(message);
    post(rpc::response(id, open ? documentSymbols(open->text, encoding) : json::array()));
}

namespace {

    // A version that is no integer is not kept: the diagnostics go out
    // without one.
    std::optional<std::int64_t> versionOf(const json& item)
    {
        const auto found = item.find("version");
        if (found == item.end() || !found->is_number_integer())
            return std::nullopt;
        return found->get<std::int64_t>();
    }

} // namespace

// Everything a notification carries is read before anything changes, so that
// a malformed one changes nothing.
void server::didOpen(const json& params, clock::time_point now)
{
    const json& item = params.at("textDocument");
    const std::string& uri = item.at("uri").get_ref<const std::string&>();
    std::string text = item.at("text").get<std::string>();
    document& open = documents[uri];
    open.text = std::move(text);
    open.repaired.reset();
    open.version = versionOf(item);
    open.due = now;
    open.savedDiagnostic = diagnosticOfSavedFile(uri, open.text, encoding);
}

void server::didChange(const json& params, clock::time_point now)
{
    const json& item = params.at("textDocument");
    const auto found = documents.find(item.at("uri").get<std::string>());
    if (found == documents.end())
        return;
    std::string text = changedText(found->second, params.at("contentChanges"));
    found->second.text = std::move(text);
    found->second.repaired.reset();
    found->second.version = versionOf(item);
    found->second.due = now + pause;
}

// The saved file is checked again; a pending check of the buffer goes out
// with it.
void server::didSave(const json& params, clock::time_point now)
{
    const auto found = documents.find(params.at("textDocument").at("uri").get<std::string>());
    if (found == documents.end())
        return;
    found->second.savedDiagnostic = diagnosticOfSavedFile(found->first, found->second.text, encoding);
    if (!found->second.due)
        found->second.due = now;
}

void server::didClose(const json& params, clock::time_point)
{
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    if (documents.erase(uri) > 0)
        post(
            rpc::notification("textDocument/publishDiagnostics", { { "uri", uri }, { "diagnostics", json::array() } }));
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
        const std::size_t start = offsetOf(text, rpc::positionFrom(range.at("start")), encoding);
        const std::size_t end = std::max(start, offsetOf(text, rpc::positionFrom(range.at("end")), encoding));
        text.replace(start, end - start, replacement);
    }
    return text;
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
    json diagnostics = diagnosticsOfText(uri, open.text, encoding);
    if (!open.savedDiagnostic.is_null())
        diagnostics.push_back(open.savedDiagnostic);
    json params = { { "uri", uri } };
    if (open.version)
        params["version"] = *open.version;
    params["diagnostics"] = std::move(diagnostics);
    post(rpc::notification("textDocument/publishDiagnostics", std::move(params)));
}

void deliverMessages(messageReader& reader, server& to, server::clock::time_point now)
{
    while (!to.exited()) {
        std::optional<std::string> body = reader.next();
        switch (reader.takeProblem()) {
        case messageReader::problem::badHeader:
            to.reportBadMessage("Der Kopf der Nachricht ist ungültig.");
            break;
        case messageReader::problem::tooLarge:
            to.reportBadMessage("Die Nachricht ist zu groß.");
            break;
        case messageReader::problem::none:
            break;
        }
        if (!body)
            return;
        to.handle(*body, now);
    }
}

} // namespace kavrin::lsp
