#pragma once

#include "codeActions.h"
#include "positions.h"
#include "textVersion.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin::lsp {

// The protocol state of kavrin-lsp: open documents, the negotiated position
// encoding, the messages read and not yet handled, and when each document is
// due for its check. It takes message bodies and sends bodies through the
// given function; it has no I/O of its own and writes nothing to disk. Each
// method is a handler in one of two tables, requests and notifications.
class server {
public:
    using clock = std::chrono::steady_clock;
    // Checking waits for a pause in typing this long.
    static constexpr std::chrono::milliseconds pause { 20 };

    explicit server(std::function<void(const std::string& body)> send);

    // A message read, kept to be handled in its turn.
    void receive(const std::string& body);
    // A framing problem of the input, answered in its turn as the protocol
    // says.
    void reportBadMessage(const char* what);
    // Whether messages wait to be handled.
    bool busy() const { return !pending.empty(); }
    // Handles the first message waiting. A request that a later message
    // already waiting cancels, or whose document it changes, is answered at
    // once without the work: its answer would be thrown away or out of date,
    // and it would hold back the diagnostics of the change.
    void step(clock::time_point now);
    // Receives a message and handles everything waiting.
    void handle(const std::string& body, clock::time_point now);

    // When the next check is due, if any document waits for one.
    std::optional<clock::time_point> nextDue() const;
    // Checks every document whose pause is over, with its current text.
    void runDue(clock::time_point now);

    bool exited() const { return exitStatus.has_value(); }
    int status() const { return exitStatus.value_or(1); }

private:
    struct document {
        std::shared_ptr<const textVersion> text;
        // Absent when the client sent none that is an integer.
        std::optional<std::int64_t> version;
        std::optional<clock::time_point> due;
        // The outcome of the saved file where it differs from the buffer's:
        // what the editor's decoding hides (an encoding, the name).
        nlohmann::json savedDiagnostic;
        // The byte-order mark the saved file has and the editor hides.
        std::string_view hidden;
        // The repair of the text as code actions, made when they are first
        // asked for this version of it.
        std::optional<repairActions> actions;
    };

    // A message waiting: a request or notification, or the error answer to
    // one that could not be read.
    struct waiting {
        nlohmann::json message;
        bool answer = false;
    };

    using requestHandler = void (server::*)(const nlohmann::json& message, const nlohmann::json& id);
    using notificationHandler = void (server::*)(const nlohmann::json& params, clock::time_point now);
    static const std::map<std::string_view, requestHandler> requestHandlers;
    static const std::map<std::string_view, notificationHandler> notificationHandlers;

    void request(const nlohmann::json& message, const nlohmann::json& id);
    void notification(const nlohmann::json& message, clock::time_point now);
    // The error a request gets at once because of a message waiting behind
    // it, or null.
    nlohmann::json overtaken(const nlohmann::json& message, const nlohmann::json& id) const;

    void initialize(const nlohmann::json& message, const nlohmann::json& id);
    void shutdown(const nlohmann::json& message, const nlohmann::json& id);
    void codeAction(const nlohmann::json& message, const nlohmann::json& id);
    void hover(const nlohmann::json& message, const nlohmann::json& id);
    void documentSymbol(const nlohmann::json& message, const nlohmann::json& id);
    void completion(const nlohmann::json& message, const nlohmann::json& id);
    void formatting(const nlohmann::json& message, const nlohmann::json& id);
    void foldingRange(const nlohmann::json& message, const nlohmann::json& id);
    void documentHighlight(const nlohmann::json& message, const nlohmann::json& id);
    // The open document a request names, or none.
    document* documentOf(const nlohmann::json& message);
    void didOpen(const nlohmann::json& params, clock::time_point now);
    void didChange(const nlohmann::json& params, clock::time_point now);
    void didSave(const nlohmann::json& params, clock::time_point now);
    void didClose(const nlohmann::json& params, clock::time_point now);

    std::shared_ptr<const textVersion> changedText(const document& open, const nlohmann::json& changes) const;
    void replaceText(document& open, std::shared_ptr<const textVersion> text);
    void readSavedFile(const std::string& uri, document& open);
    void publish(const std::string& uri, const document& open);
    void post(const nlohmann::json& message);

    std::function<void(const std::string&)> send;
    std::deque<waiting> pending;
    std::map<std::string, document> documents;
    positionEncoding encoding = positionEncoding::utf16;
    // Whether the client takes completions as snippets with placeholders.
    bool snippets = false;
    bool initialized = false;
    bool shutDown = false;
    std::optional<int> exitStatus;
};

class messageReader;

// Hands every whole message the reader holds to the server, and every
// framing problem met on the way.
void takeMessages(messageReader& reader, server& to);
// Takes the messages and handles them all, until the server has exited.
void deliverMessages(messageReader& reader, server& to, server::clock::time_point now);

} // namespace kavrin::lsp
