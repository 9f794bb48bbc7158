#include "server.h"

#include "diagnostics.h"
#include "framing.h"
#include "outline.h"
#include "protocol.h"
#include "writing.h"

#include <algorithm>

namespace kavrin::lsp {

using nlohmann::json;
namespace rpc = protocol;

namespace {

    constexpr std::string_view didOpenMethod = "textDocument/didOpen";
    constexpr std::string_view didChangeMethod = "textDocument/didChange";
    constexpr std::string_view didCloseMethod = "textDocument/didClose";
    constexpr std::string_view cancelMethod = "$/cancelRequest";

    // The document a message names, if it names one.
    const json* uriOf(const json& message)
    {
        const auto params = message.find("params");
        if (params == message.end() || !params->is_object())
            return nullptr;
        const auto item = params->find("textDocument");
        if (item == params->end() || !item->is_object())
            return nullptr;
        const auto uri = item->find("uri");
        return uri != item->end() && uri->is_string() ? &*uri : nullptr;
    }

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

const std::map<std::string_view, server::requestHandler> server::requestHandlers = {
    { "initialize", &server::initialize },
    { "shutdown", &server::shutdown },
    { "textDocument/codeAction", &server::codeAction },
    { "textDocument/hover", &server::hover },
    { "textDocument/documentSymbol", &server::documentSymbol },
    { "textDocument/completion", &server::completion },
    { "textDocument/formatting", &server::formatting },
    { "textDocument/foldingRange", &server::foldingRange },
    { "textDocument/documentHighlight", &server::documentHighlight },
};

const std::map<std::string_view, server::notificationHandler> server::notificationHandlers = {
    { didOpenMethod, &server::didOpen },
    { didChangeMethod, &server::didChange },
    { "textDocument/didSave", &server::didSave },
    { didCloseMethod, &server::didClose },
};

server::server(std::function<void(const std::string& body)> send)
    : send(std::move(send))
{
}

// Texts from the client are UTF-8 already; a broken byte would only come from
// a file name or a value quoted in a reason, and is replaced, never refused.
void server::post(const json& message) { send(message.dump(-1, ' ', false, json::error_handler_t::replace)); }

void server::receive(const std::string& body)
{
    const auto refuse = [this](const json& id, int code, std::string_view what) {
        pending.push_back({ rpc::errorResponse(id, code, what), true });
    };
    if (rpc::nestedDeeperThan(body, rpc::maxNesting))
        return refuse(nullptr, rpc::invalidRequest, "Die Nachricht ist zu tief verschachtelt.");
    json message = json::parse(body, nullptr, false);
    if (message.is_discarded())
        return refuse(nullptr, rpc::parseError, "Die Nachricht ist kein gültiges JSON.");
    const bool isObject = message.is_object();
    // A response from the client needs no answer.
    if (isObject && message.contains("id") && !message.contains("method")
        && (message.contains("result") || message.contains("error")))
        return;
    const json id = isObject ? message.value("id", json()) : json();
    if (!isObject || !message.contains("method") || !message["method"].is_string() || !rpc::isValidId(id)
        || message.value("jsonrpc", json()) != "2.0") {
        if (!isObject || message.contains("id") || !message.contains("method"))
            refuse(id, rpc::invalidRequest, "Die Nachricht ist keine gültige Anfrage.");
        return;
    }
    pending.push_back({ std::move(message), false });
}

void server::reportBadMessage(const char* what)
{
    pending.push_back({ rpc::errorResponse(nullptr, rpc::parseError, what), true });
}

void server::step(clock::time_point now)
{
    if (pending.empty())
        return;
    const waiting next = std::move(pending.front());
    pending.pop_front();
    if (next.answer)
        return post(next.message);
    const json& message = next.message;
    const bool isRequest = message.contains("id");
    try {
        if (isRequest)
            request(message, message["id"]);
        else
            notification(message, now);
    } catch (const json::exception&) {
        if (isRequest)
            post(rpc::errorResponse(message["id"], rpc::invalidParams, "Die Parameter der Anfrage sind ungültig."));
    } catch (const rpc::badParams& bad) {
        if (isRequest)
            post(rpc::errorResponse(message["id"], rpc::invalidParams, bad.what()));
    }
}

void server::handle(const std::string& body, clock::time_point now)
{
    receive(body);
    while (busy() && !exited())
        step(now);
}

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
    if (json error = overtaken(message, id); !error.is_null())
        return post(error);
    (this->*handler->second)(message, id);
}

json server::overtaken(const json& message, const json& id) const
{
    const json* uri = uriOf(message);
    for (const waiting& later : pending) {
        if (later.answer)
            continue;
        const std::string& method = later.message["method"].get_ref<const std::string&>();
        if (method == cancelMethod) {
            const json* params = later.message.contains("params") ? &later.message["params"] : nullptr;
            if (params != nullptr && params->is_object() && params->value("id", json()) == id)
                return rpc::errorResponse(id, rpc::requestCancelled, "Die Anfrage wurde abgebrochen.");
        } else if (uri != nullptr
            && (method == didChangeMethod || method == didCloseMethod || method == didOpenMethod)) {
            const json* changed = uriOf(later.message);
            if (changed != nullptr && *changed == *uri)
                return rpc::errorResponse(
                    id, rpc::contentModified, "Der Text hat sich seither geändert; die Antwort wäre veraltet.");
        }
    }
    return nullptr;
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
    const json capabilities = params.value("capabilities", json::object());
    const json offered = capabilities.value("general", json::object()).value("positionEncodings", json::array());
    const bool utf8 = offered.is_array() && std::find(offered.begin(), offered.end(), "utf-8") != offered.end();
    const json client = params.value("clientInfo", json::object());
    const json name = client.is_object() ? client.value("name", json()) : json();
    encoding = encodingAgreed(utf8, name.is_string() ? name.get<std::string>() : std::string());
    const json snippetSupport = capabilities.value("textDocument", json::object())
                                    .value("completion", json::object())
                                    .value("completionItem", json::object())
                                    .value("snippetSupport", false);
    snippets = snippetSupport.is_boolean() && snippetSupport.get<bool>();
    initialized = true;
    post(rpc::response(id,
        { { "capabilities",
              { { "positionEncoding", utf8 ? "utf-8" : "utf-16" },
                  { "textDocumentSync",
                      { { "openClose", true }, { "change", rpc::syncIncremental },
                          { "save", { { "includeText", false } } } } },
                  { "codeActionProvider", { { "codeActionKinds", { quickFixKind, fixAllKind } } } },
                  { "hoverProvider", true }, { "documentSymbolProvider", true },
                  { "completionProvider", { { "triggerCharacters", { completionTrigger } } } },
                  { "documentFormattingProvider", true }, { "foldingRangeProvider", true },
                  { "documentHighlightProvider", true } } },
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
    if (!open->actions)
        open->actions.emplace(
            params.at("textDocument").at("uri").get<std::string>(), open->text, repairBytes(open->text->text()));
    send(rpc::responseText(id, open->actions->answer(params)));
}

void server::hover(const json& message, const json& id)
{
    const document* open = documentOf(message);
    const editorPosition at = rpc::positionFrom(message.at("params").at("position"));
    post(rpc::response(id, open ? hoverAt(*open->text, at) : json()));
}

void server::documentSymbol(const json& message, const json& id)
{
    const document* open = documentOf(message);
    if (open == nullptr)
        return post(rpc::response(id, json::array()));
    send(rpc::responseText(id, documentSymbols(*open->text)));
}

void server::completion(const json& message, const json& id)
{
    const document* open = documentOf(message);
    const editorPosition at = rpc::positionFrom(message.at("params").at("position"));
    post(rpc::response(id, open ? completionAt(*open->text, at, snippets) : json::array()));
}

void server::formatting(const json& message, const json& id)
{
    const document* open = documentOf(message);
    if (open == nullptr)
        return post(rpc::response(id, json::array()));
    std::optional<json> edits = formattingEdits(*open->text);
    if (!edits)
        return post(rpc::errorResponse(id, rpc::requestFailed,
            "Das Formatieren würde ändern, was die Prüfung findet; der Text bleibt, wie er ist."));
    post(rpc::response(id, std::move(*edits)));
}

void server::foldingRange(const json& message, const json& id)
{
    const document* open = documentOf(message);
    post(rpc::response(id, open ? foldingRanges(*open->text) : json::array()));
}

void server::documentHighlight(const json& message, const json& id)
{
    const document* open = documentOf(message);
    const editorPosition at = rpc::positionFrom(message.at("params").at("position"));
    post(rpc::response(id, open ? highlightsAt(*open->text, at) : json::array()));
}

void server::replaceText(document& open, std::shared_ptr<const textVersion> text)
{
    open.text = std::move(text);
    open.actions.reset();
}

void server::readSavedFile(const std::string& uri, document& open)
{
    savedFile saved = savedFileOf(uri, *open.text);
    open.savedDiagnostic = std::move(saved.diagnostic);
    open.hidden = saved.hidden;
}

// Everything a notification carries is read before anything changes, so that
// a malformed one changes nothing.
void server::didOpen(const json& params, clock::time_point now)
{
    const json& item = params.at("textDocument");
    const std::string& uri = item.at("uri").get_ref<const std::string&>();
    auto text = std::make_shared<const textVersion>(item.at("text").get<std::string>(), encoding);
    document& open = documents[uri];
    replaceText(open, std::move(text));
    open.version = versionOf(item);
    open.due = now;
    readSavedFile(uri, open);
}

void server::didChange(const json& params, clock::time_point now)
{
    const json& item = params.at("textDocument");
    const auto found = documents.find(item.at("uri").get<std::string>());
    if (found == documents.end())
        return;
    std::shared_ptr<const textVersion> text = changedText(found->second, params.at("contentChanges"));
    replaceText(found->second, std::move(text));
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
    readSavedFile(found->first, found->second);
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
std::shared_ptr<const textVersion> server::changedText(const document& open, const json& changes) const
{
    std::shared_ptr<const textVersion> current = open.text;
    for (const json& change : changes) {
        std::string replacement = change.at("text").get<std::string>();
        if (!change.contains("range")) {
            current = std::make_shared<const textVersion>(std::move(replacement), encoding);
            continue;
        }
        const json& range = change.at("range");
        const lineIndex& lines = current->lines();
        const std::size_t start = lines.offsetOf(rpc::positionFrom(range.at("start")));
        const std::size_t end = std::max(start, lines.offsetOf(rpc::positionFrom(range.at("end"))));
        std::string text(current->text());
        text.replace(start, end - start, replacement);
        current = std::make_shared<const textVersion>(std::move(text), encoding);
    }
    return current;
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
    json diagnostics = diagnosticsOfText(uri, *open.text, open.hidden);
    if (!open.savedDiagnostic.is_null())
        diagnostics.push_back(open.savedDiagnostic);
    json params = { { "uri", uri } };
    if (open.version)
        params["version"] = *open.version;
    params["diagnostics"] = std::move(diagnostics);
    post(rpc::notification("textDocument/publishDiagnostics", std::move(params)));
}

void takeMessages(messageReader& reader, server& to)
{
    for (;;) {
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
        to.receive(*body);
    }
}

void deliverMessages(messageReader& reader, server& to, server::clock::time_point now)
{
    takeMessages(reader, to);
    while (to.busy() && !to.exited())
        to.step(now);
}

} // namespace kavrin::lsp
