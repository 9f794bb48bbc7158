#include "server.h"
#include "codeActions.h"
#include "framing.h"
#include "protocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using nlohmann::json;

namespace {

// What an editor says to the server, over whatever carries it: Self has
// raw(bytes) to send and receive() for the next message.
template <class Self> class editorSide {
public:
    void send(const json& message)
    {
        const std::string body = message.dump();
        self().raw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    }
    void notify(const std::string& method, json params)
    {
        send({ { "jsonrpc", "2.0" }, { "method", method }, { "params", std::move(params) } });
    }
    void ask(int id, const std::string& method, json params = json::object())
    {
        send({ { "jsonrpc", "2.0" }, { "id", id }, { "method", method }, { "params", std::move(params) } });
    }
    void initialize(bool offerUtf8 = false, const std::string& client = {})
    {
        json capabilities = json::object();
        if (offerUtf8)
            capabilities["general"]["positionEncodings"] = { "utf-8", "utf-16" };
        json params = { { "capabilities", capabilities } };
        if (!client.empty())
            params["clientInfo"] = { { "name", client }, { "version", "0.7.2" } };
        ask(1, "initialize", params);
        EXPECT_EQ(self().receive()["result"]["capabilities"]["positionEncoding"], offerUtf8 ? "utf-8" : "utf-16");
        notify("initialized", json::object());
    }
    void open(const std::string& text, json version = 1, const std::string& at = "file:///tmp/tipps.tzv")
    {
        notify("textDocument/didOpen",
            { { "textDocument",
                { { "uri", at }, { "languageId", "tzv" }, { "version", version }, { "text", text } } } });
    }

    const std::string uri = "file:///tmp/tipps.tzv";

private:
    Self& self() { return static_cast<Self&>(*this); }
};

// kavrin-lsp on the other end of two pipes, as an editor runs it: for the
// life cycle end to end and the exit status.
class serverProcess : public editorSide<serverProcess> {
public:
    serverProcess()
    {
        int toServer[2], fromServer[2];
        EXPECT_EQ(::pipe(toServer), 0);
        EXPECT_EQ(::pipe(fromServer), 0);
        child = ::fork();
        if (child == 0) {
            ::dup2(toServer[0], STDIN_FILENO);
            ::dup2(fromServer[1], STDOUT_FILENO);
            ::close(toServer[1]);
            ::close(fromServer[0]);
            ::execl(KAVRIN_LSP, KAVRIN_LSP, "--stdio", nullptr);
            ::_exit(127);
        }
        ::close(toServer[0]);
        ::close(fromServer[1]);
        in = toServer[1];
        out = fromServer[0];
    }
    ~serverProcess()
    {
        ::close(in);
        ::close(out);
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }

    void raw(const std::string& bytes) { EXPECT_EQ(::write(in, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // The next message, or null after five seconds without one.
    json receive()
    {
        std::string header;
        while (header.size() < 4 || header.compare(header.size() - 4, 4, "\r\n\r\n") != 0) {
            char c;
            if (!readByte(c))
                return nullptr;
            header.push_back(c);
        }
        std::string body(std::stoul(header.substr(header.find(':') + 1)), '\0');
        for (char& c : body)
            if (!readByte(c))
                return nullptr;
        return json::parse(body);
    }
    json diagnostics() { return receive()["params"]["diagnostics"]; }

    int exitStatus()
    {
        int status = 0;
        ::waitpid(child, &status, 0);
        child = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool readByte(char& c)
    {
        pollfd ready { out, POLLIN, 0 };
        return ::poll(&ready, 1, 5000) == 1 && ::read(out, &c, 1) == 1;
    }

    pid_t child = -1;
    int in = -1;
    int out = -1;
};

// The same conversation with the server in this process, as kavrin-lsp's
// loop drives it: each message is read, handled and, after the typing pause,
// checked.
class serverInProcess : public editorSide<serverInProcess> {
public:
    void raw(const std::string& bytes)
    {
        reader.feed(bytes);
        kavrin::lsp::deliverMessages(reader, server, now);
        now += std::chrono::hours(1);
        server.runDue(now);
    }
    // The next message, or null when there is none.
    json receive()
    {
        if (sent.empty())
            return nullptr;
        json next = json::parse(sent.front());
        sent.pop_front();
        return next;
    }
    // The diagnostics the editor shows now: those published last.
    json diagnostics()
    {
        json last;
        for (json next = receive(); !next.is_null(); next = receive())
            last = next;
        return last["params"]["diagnostics"];
    }

private:
    std::deque<std::string> sent;
    kavrin::lsp::server server { [this](const std::string& body) { sent.push_back(body); } };
    kavrin::lsp::messageReader reader;
    kavrin::lsp::server::clock::time_point now = kavrin::lsp::server::clock::now();
};

const std::string header = "<versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>";
const std::string badTicket = header + "01,02,03,04,05,46</ziroTipp></schein></uvra>";
const std::string goodTicket = header + "01,02,03,04,05,06</ziroTipp></schein></uvra>";

json range(int line, int from, int to)
{
    return { { "start", { { "line", line }, { "character", from } } },
        { "end", { { "line", line }, { "character", to } } } };
}

TEST(LanguageServer, DocumentLifeCycle)
{
    serverProcess server;
    server.initialize();
    server.open("<uvra>" + goodTicket);
    json published = server.receive();
    EXPECT_EQ(published["params"]["version"], 1);
    EXPECT_EQ(published["params"]["diagnostics"], json::array());

    // 06 becomes 46: an incremental change at UTF-16 positions.
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", server.uri }, { "version", 2 } } },
            { "contentChanges", { { { "range", range(0, 84, 85) }, { "text", "4" } } } } });
    published = server.receive();
    EXPECT_EQ(published["params"]["version"], 2);
    const json diagnostic = published["params"]["diagnostics"].at(0);
    EXPECT_EQ(diagnostic["range"], range(0, 84, 86));
    EXPECT_EQ(diagnostic["severity"], 1);
    EXPECT_EQ(diagnostic["source"], "kavrin");
    EXPECT_EQ(diagnostic["code"], "number-out-of-range");
    EXPECT_EQ(diagnostic["message"],
        "Die Datei enthält in der Zeile 1, Spalte 85 Inhalte, die nicht der aktuellen XML-Schnittstellenbeschreibung "
        "entsprechen.\n46 ist zu groß: Die Zahlen in <ziroTipp> liegen zwischen 01 und 45.");

    // A full-text change; then the document is closed.
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", server.uri }, { "version", 3 } } },
            { "contentChanges", { { { "text", "" } } } } });
    const json empty = server.diagnostics().at(0);
    EXPECT_EQ(empty["code"], "wrong-first-bytes");
    EXPECT_EQ(empty["range"], range(0, 0, 0)) << "a violation without a place";
    server.notify("textDocument/didClose", { { "textDocument", { { "uri", server.uri } } } });
    EXPECT_EQ(server.diagnostics(), json::array());

    server.ask(2, "shutdown");
    EXPECT_EQ(server.receive()["result"], nullptr);
    server.notify("exit", nullptr);
    EXPECT_EQ(server.exitStatus(), 0);
}

// Editors split lines at LF, CR LF and CR and count UTF-16 units; the
// checker counts LF only, and bytes. Each row puts something before 46.
TEST(LanguageServer, PositionsInEditorUnits)
{
    const struct {
        std::string before;
        bool utf8;
        int line, character;
    } rows[] = {
        { "<uvra><!-- äöü -->", false, 0, 96 },
        { "<uvra><!-- äöü -->", true, 0, 99 },
        { "<uvra><!-- 😀 -->", false, 0, 95 },
        { "<uvra><!-- 😀 -->", true, 0, 97 },
        { "<uvra>\r\n<!-- ä -->\r\n", false, 2, 78 },
        { "<uvra>\r<!-- ä -->\r", false, 2, 78 },
        { "\xEF\xBB\xBF<uvra>\r", false, 1, 78 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        serverInProcess server;
        server.initialize(row.utf8);
        server.open(row.before + badTicket);
        const json diagnostic = server.diagnostics().at(0);
        EXPECT_EQ(diagnostic["range"], range(row.line, row.character, row.character + 2));
    }
}

TEST(LanguageServer, BadInputIsAnsweredAndSurvived)
{
    serverInProcess server;
    server.ask(1, "textDocument/hover");
    EXPECT_EQ(server.receive()["error"]["code"], -32002) << "not initialized yet";
    server.initialize();
    server.raw("Content-Length: 5\r\n\r\n{bad}");
    EXPECT_EQ(server.receive()["error"]["code"], -32700);
    server.raw("Content-Length: x\r\n\r\n");
    EXPECT_EQ(server.receive()["error"]["code"], -32700);
    server.ask(7, "no/such/method");
    const json answer = server.receive();
    EXPECT_EQ(answer["id"], 7);
    EXPECT_EQ(answer["error"]["code"], -32601);
    server.notify("textDocument/didOpen", { { "textDocument", 42 } });
    server.ask(8, "shutdown");
    EXPECT_EQ(server.receive()["id"], 8) << "still answering";
    // A body larger than any document may be is announced, refused and
    // skipped as it arrives, never kept.
    server.raw("Content-Length: 99999999999\r\n\r\n");
    EXPECT_EQ(server.receive()["error"]["code"], -32700);
}

// A value broken over lines is reported past the end of its first line: the
// diagnostic stays on that line, at its end.
TEST(LanguageServer, PlacePastItsLineStaysOnIt)
{
    serverInProcess server;
    server.initialize();
    server.open("<?xml version=\"1.0\"\n\n encoding=\"UTF-8\"?>\n<uvra></uvra>\n");
    EXPECT_EQ(server.diagnostics().at(0)["range"]["start"], range(0, 19, 19)["start"]);
}

// Each row is one way a message can be wrong; the server answers it and then
// the shutdown after it.
TEST(LanguageServer, MalformedMessagesLoseNothingAfterThem)
{
    const auto framed
        = [](const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; };
    const std::string deep = std::string(70000, '[') + std::string(70000, ']');
    const struct {
        std::string bytes;
        int code;
    } rows[] = {
        { "Content-Length: abc\r\n\r\n{\"jsonrpc\":\"2.0\",\"id\":5,\"method\":\"x\"}", -32700 },
        { "Content-Length: -5\r\n\r\n{}", -32700 },
        { "Content-Type: text/plain\r\n\r\n{}", -32700 },
        { "Content-Length: 2\n\n{}", -32700 },
        { "Content-Length: 2\r\nX-" + std::string(9000, 'a') + "\r\n\r\n{}", -32700 },
        { "garbage between messages", -32700 },
        { framed(deep), -32600 },
        { framed(R"({"jsonrpc":"2.0","id":{},"method":"x"})"), -32600 },
        { framed(R"({"jsonrpc":"1.0","id":3,"method":"x"})"), -32600 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.substr(0, 60));
        serverInProcess server;
        server.initialize();
        server.raw(row.bytes);
        server.ask(9, "shutdown");
        json answer = server.receive();
        EXPECT_EQ(answer["error"]["code"], row.code);
        EXPECT_TRUE(answer["id"].is_null() || answer["id"].is_number());
        while (answer.contains("error"))
            answer = server.receive();
        EXPECT_EQ(answer["id"], 9) << "the message after it is answered";
    }
}

TEST(LanguageServer, RefusesWhatItCannotKeep)
{
    serverInProcess server;
    server.initialize();
    server.ask(2, "initialize");
    EXPECT_EQ(server.receive()["error"]["code"], -32600) << "a second initialize";
    server.open("<uvra>" + badTicket, "eins");
    json published = server.receive()["params"];
    EXPECT_FALSE(published.contains("version")) << "a version that is no integer is not kept";
    // The second change is malformed: the first must not apply either.
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", server.uri }, { "version", 2 } } },
            { "contentChanges", { { { "text", "<uvra>" + goodTicket } }, { { "range", 5 } } } } });
    server.notify("textDocument/didSave", { { "textDocument", { { "uri", server.uri } } } });
    published = server.receive()["params"];
    EXPECT_EQ(published["diagnostics"].at(0)["code"], "number-out-of-range");
}

// The editor decodes what it reads; the server also checks the bytes on disk
// and says so where they differ.
TEST(LanguageServer, SavedFileIsCheckedAsSubmitted)
{
    char folder[] = "/tmp/kavrin-lsp-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/Prüfung 1.tzv";
    const std::string uri = "file://" + std::string(folder) + "/Pr%C3%BCfung%201.tzv";
    const std::string decoded = "<uvra><!-- \xC3\xBC -->" + goodTicket;
    const std::string windows1252 = "<uvra><!-- \xFC -->" + goodTicket;
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(windows1252.data(), 1, windows1252.size(), file);
        std::fclose(file);
    }
    serverInProcess server;
    server.initialize();
    server.open(decoded, 1, uri);
    json diagnostics = server.diagnostics();
    ASSERT_EQ(diagnostics.size(), 1U);
    EXPECT_EQ(diagnostics[0]["code"], "invalid-utf8");
    EXPECT_EQ(diagnostics[0]["message"].get<std::string>().rfind("Gespeicherte Datei: ", 0), 0U);
    // While the user types, it stays; a save in UTF-8 mends it.
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", uri }, { "version", 2 } } },
            { "contentChanges", { { { "text", "<uvra>" + badTicket } } } } });
    diagnostics = server.diagnostics();
    ASSERT_EQ(diagnostics.size(), 2U);
    EXPECT_EQ(diagnostics[0]["code"], "number-out-of-range");
    EXPECT_EQ(diagnostics[1]["code"], "invalid-utf8");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(decoded.data(), 1, decoded.size(), file);
        std::fclose(file);
    }
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", uri }, { "version", 3 } } },
            { "contentChanges", { { { "text", decoded } } } } });
    server.notify("textDocument/didSave", { { "textDocument", { { "uri", uri } } } });
    EXPECT_EQ(server.diagnostics(), json::array());
    std::remove(path.c_str());
    ::rmdir(folder);
}

// Every violation of a document is a diagnostic of its own, in file order.
TEST(LanguageServer, PublishesEveryViolation)
{
    serverInProcess server;
    server.initialize();
    server.open("<uvra>" + header
            + "01,02,03,04,05,46</ziroTipp><ziroTipp>01,02,03,04,41,33</ziroTipp></schein>"
              "<schein><ziroTipp>1,02,03,04,05,06</ziroTipp></schein></uvra>",
        1, "untitled:alle");
    const json diagnostics = server.diagnostics();
    ASSERT_EQ(diagnostics.size(), 3U);
    EXPECT_EQ(diagnostics[0]["code"], "number-out-of-range");
    EXPECT_EQ(diagnostics[1]["code"], "numbers-not-ascending");
    EXPECT_EQ(diagnostics[2]["code"], "bad-number-list");
    EXPECT_LT(diagnostics[0]["range"]["start"]["character"], diagnostics[1]["range"]["start"]["character"]);
}

TEST(LanguageServer, ExitWithoutShutdownFails)
{
    serverProcess server;
    server.initialize();
    server.notify("exit", nullptr);
    EXPECT_EQ(server.exitStatus(), 1);
}

} // namespace

namespace {

// Applies the edits of one document's WorkspaceEdit, last first, as an
// editor does; no two may overlap.
std::string applied(std::string text, const json& edit, const std::string& uri,
    kavrin::lsp::positionEncoding encoding = kavrin::lsp::positionEncoding::utf16)
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::vector<std::string> newTexts;
    const kavrin::lsp::lineIndex lines(text, encoding);
    for (const json& e : edit["changes"][uri]) {
        ranges.emplace_back(lines.offsetOf(kavrin::lsp::protocol::positionFrom(e["range"]["start"])),
            lines.offsetOf(kavrin::lsp::protocol::positionFrom(e["range"]["end"])));
        newTexts.push_back(e["newText"]);
    }
    std::vector<std::size_t> order(ranges.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ranges[a] > ranges[b]; });
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto [start, end] = ranges[order[k]];
        if (k > 0) {
            EXPECT_LT(end, ranges[order[k - 1]].first) << "edits that overlap or touch";
        }
        text.replace(start, end - start, newTexts[order[k]]);
    }
    return text;
}

TEST(LanguageServer, QuickFixesRepairAndFixAllRepairsEverything)
{
    serverInProcess server;
    server.initialize();
    const std::string text
        = "<uvra>" + header + "02,01,03,04,05,06</ziroTipp><ZiroTipp>1,02,03,04,05,06</ZiroTipp></schein></uvra>";
    server.open(text);
    const json diagnostics = server.diagnostics();
    ASSERT_EQ(diagnostics.at(0)["code"], "numbers-not-ascending");
    EXPECT_EQ(diagnostics[0]["relatedInformation"][0]["location"]["range"], range(0, 69, 71)) << "the 02 before";

    server.ask(7, "textDocument/codeAction",
        { { "textDocument", { { "uri", server.uri } } }, { "range", diagnostics[0]["range"] },
            { "context", { { "diagnostics", { diagnostics[0] } } } } });
    const json actions = server.receive()["result"];
    ASSERT_EQ(actions.size(), 2U) << actions.dump();
    EXPECT_EQ(actions[0]["kind"], "quickfix");
    EXPECT_EQ(actions[0]["diagnostics"][0]["code"], "numbers-not-ascending");
    EXPECT_EQ(applied(text, actions[0]["edit"], server.uri),
        "<uvra>" + header + "01,02,03,04,05,06</ziroTipp><ZiroTipp>1,02,03,04,05,06</ZiroTipp></schein></uvra>");
    EXPECT_EQ(actions[1]["kind"], "source.fixAll.kavrin");
    EXPECT_EQ(applied(text, actions[1]["edit"], server.uri),
        "<uvra>" + header + "01,02,03,04,05,06</ziroTipp><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></uvra>");

    server.ask(8, "textDocument/codeAction",
        { { "textDocument", { { "uri", server.uri } } }, { "range", range(0, 0, 0) },
            { "context", { { "diagnostics", json::array() }, { "only", { "source.fixAll" } } } } });
    const json onlyFixAll = server.receive()["result"];
    ASSERT_EQ(onlyFixAll.size(), 1U);
    EXPECT_EQ(onlyFixAll[0]["kind"], "source.fixAll.kavrin");

    // The repair is kept per version of the text: a change makes a new one.
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", server.uri }, { "version", 2 } } },
            { "contentChanges", { { { "text", "<uvra>" + goodTicket } } } } });
    server.diagnostics();
    server.ask(9, "textDocument/codeAction",
        { { "textDocument", { { "uri", server.uri } } }, { "range", range(0, 0, 0) },
            { "context", { { "diagnostics", json::array() } } } });
    EXPECT_EQ(server.receive()["result"], json::array());
}

// Each violation that involves another place names it; the text there is
// what the row expects.
TEST(LanguageServer, RelatedPlaces)
{
    struct row {
        std::string text;
        std::string code;
        std::string there;
    };
    const row rows[] = {
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02,03,04,05,06</ziroTipp>"
          "</schein></uvra>",
            "version-mismatch", "47" },
        { "<uvra>" + header + "01,02,03,04,06,05</ziroTipp></schein></uvra>", "numbers-not-ascending", "06" },
        { "<uvra>" + header + "01,02,03,04,05,06</ziroTipp></uvra>", "missing-end-tag", "<schein>" },
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text);
        serverInProcess server;
        server.initialize();
        server.open(r.text, 1, "untitled:bezug");
        const json diagnostic = server.diagnostics().at(0);
        ASSERT_EQ(diagnostic["code"], r.code);
        const json place = diagnostic["relatedInformation"].at(0)["location"]["range"];
        const std::size_t from = place["start"]["character"], to = place["end"]["character"];
        EXPECT_EQ(r.text.substr(from, to - from), r.there);
    }
}

TEST(LanguageServer, HoverAndTicketOutline)
{
    serverInProcess server;
    server.initialize();
    server.open("<uvra>" + header
        + "01,02,03,04,05,06</ziroTipp><ziroTipp>01,02,03,04,05,07</ziroTipp></schein>"
          "<schein><ziroTipp>01,02</ziroTipp></schein></uvra>");
    server.diagnostics();
    server.ask(3, "textDocument/hover",
        { { "textDocument", { { "uri", server.uri } } }, { "position", { { "line", 0 }, { "character", 70 } } } });
    const json hover = server.receive()["result"];
    EXPECT_NE(hover["contents"]["value"].get<std::string>().find("6 Zahlen von 01 bis 45"), std::string::npos);
    EXPECT_EQ(hover["range"], range(0, 59, 69)) << "the <ziroTipp> before the place";

    server.ask(4, "textDocument/documentSymbol", { { "textDocument", { { "uri", server.uri } } } });
    const json symbols = server.receive()["result"];
    ASSERT_EQ(symbols.size(), 2U);
    EXPECT_EQ(symbols[0]["name"], "Schein 1");
    EXPECT_EQ(symbols[0]["detail"], "2 Tipps");
    EXPECT_EQ(symbols[0]["children"][1]["detail"], "01,02,03,04,05,07");
    EXPECT_EQ(symbols[1]["detail"], "1 Tipp");

    server.ask(5, "textDocument/hover",
        { { "textDocument", { { "uri", "file:///nicht/offen.tzv" } } },
            { "position", { { "line", 0 }, { "character", 0 } } } });
    EXPECT_EQ(server.receive()["result"], nullptr);
}

// An editor's text is mapped as it is: one that starts with U+FEFF keeps
// it as its first character, in either encoding.
TEST(LanguageServer, TextThatStartsWithAByteOrderMark)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = mark + "<uvra>" + header + "02,01,03,04,05,06</ziroTipp></schein></uvra>";
    const int listAt = int(std::string("<uvra>").size() + header.size());
    for (const auto& [encoding, markUnits] : { std::pair { kavrin::lsp::positionEncoding::utf16, 1 },
             std::pair { kavrin::lsp::positionEncoding::utf8, 3 } }) {
        SCOPED_TRACE(markUnits);
        serverInProcess server;
        server.initialize(encoding == kavrin::lsp::positionEncoding::utf8);
        server.open(text);
        const json diagnostic = server.diagnostics().at(0);
        EXPECT_EQ(diagnostic["range"]["start"]["character"], markUnits + listAt + 3) << "at 01, after 02,";
        server.ask(7, "textDocument/codeAction",
            { { "textDocument", { { "uri", server.uri } } }, { "range", diagnostic["range"] },
                { "context", { { "diagnostics", { diagnostic } } } } });
        const json actions = server.receive()["result"];
        ASSERT_EQ(actions.size(), 2U);
        for (const json& action : actions)
            EXPECT_EQ(applied(text, action["edit"], server.uri, encoding),
                mark + "<uvra>" + header + "01,02,03,04,05,06</ziroTipp></schein></uvra>");
    }
}

// Changes that meet once widened to whole characters become one edit.
TEST(LanguageServer, EditsOfOneRequestNeverOverlap)
{
    const std::string lead = "\xC3";
    const std::string trail = "\xA4";
    const std::string text = "a" + lead + trail + "b";
    kavrin::repairResult repaired;
    repaired.changes = { { 1, 1, 0, 2, "bad-number-list", "Eins", "a" + lead, "A" + lead },
        { 1, 3, 2, 2, "bad-number-list", "Zwei", trail + "b", trail + "B" } };
    const std::string uri = "untitled:a";
    kavrin::lsp::repairActions fixes(
        uri, std::make_shared<kavrin::lsp::textVersion>(text, kavrin::lsp::positionEncoding::utf16), repaired);
    const json actions = json::parse(
        fixes.answer({ { "range", range(0, 0, 3) }, { "context", { { "only", { "source.fixAll.kavrin" } } } } }));
    ASSERT_EQ(actions.size(), 1U);
    EXPECT_EQ(actions[0]["edit"]["changes"][uri].size(), 1U);
    EXPECT_EQ(applied(text, actions[0]["edit"], uri), "A" + lead + trail + "B");
}

// Neovim keeps a lone CR in its line: places after one are counted as it
// counts them, both ways.
TEST(LanguageServer, NeovimKeepsALoneCrInTheLine)
{
    const std::string text = "<uvra>\r" + badTicket;
    const int at = int(text.find("46"));
    serverInProcess server;
    server.initialize(false, "Neovim");
    server.open(text);
    EXPECT_EQ(server.diagnostics().at(0)["range"], range(0, at, at + 2));
    server.notify("textDocument/didChange",
        { { "textDocument", { { "uri", server.uri }, { "version", 2 } } },
            { "contentChanges", { { { "range", range(0, at, at + 1) }, { "text", "0" } } } } });
    EXPECT_EQ(server.diagnostics(), json::array());
}

} // namespace

namespace {

// A position that is no non-negative integer that fits is refused as a
// parameter, never wrapped or converted.
TEST(LanguageServer, PositionsMustBeIntegersThatFit)
{
    const struct {
        json line, character;
        int code;
    } rows[] = {
        { 0, 1e300, -32602 },
        { 0, -1, -32602 },
        { -1, 0, -32602 },
        { 4294967296LL, 0, -32602 },
        { 0, 1.5, -32602 },
        { 0, "3", -32602 },
        { 0, nullptr, -32602 },
        { 4294967295LL, 4294967295LL, 0 },
    };
    serverInProcess server;
    server.initialize();
    server.open("<uvra>" + goodTicket);
    server.diagnostics();
    int id = 10;
    for (const auto& row : rows) {
        for (const char* method :
            { "textDocument/hover", "textDocument/completion", "textDocument/documentHighlight" }) {
            SCOPED_TRACE(std::string(method) + " " + row.line.dump() + ":" + row.character.dump());
            server.ask(++id, method,
                { { "textDocument", { { "uri", server.uri } } },
                    { "position", { { "line", row.line }, { "character", row.character } } } });
            const json answer = server.receive();
            EXPECT_EQ(answer["id"], id);
            EXPECT_EQ(answer.contains("error") ? answer["error"]["code"].get<int>() : 0, row.code);
        }
    }
}

// A request that a message read after it cancels, or whose document it
// changes, is answered at once: the change's diagnostics wait for nothing.
TEST(LanguageServer, LaterMessagesOvertakeRequests)
{
    serverInProcess server;
    server.initialize();
    server.open("<uvra>" + goodTicket);
    server.diagnostics();
    const auto framed = [](const json& message) {
        const std::string body = message.dump();
        return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    const json document = { { "uri", server.uri } };
    const json outline = { { "jsonrpc", "2.0" }, { "id", 5 }, { "method", "textDocument/documentSymbol" },
        { "params", { { "textDocument", document } } } };
    const json cancel = { { "jsonrpc", "2.0" }, { "method", "$/cancelRequest" }, { "params", { { "id", 5 } } } };
    server.raw(framed(outline) + framed(cancel));
    EXPECT_EQ(server.receive()["error"]["code"], -32800);

    json change = { { "jsonrpc", "2.0" }, { "method", "textDocument/didChange" },
        { "params",
            { { "textDocument", { { "uri", server.uri }, { "version", 2 } } },
                { "contentChanges", { { { "text", "<uvra>" + badTicket } } } } } } };
    json other = outline;
    other["id"] = 6;
    other["params"]["textDocument"]["uri"] = "file:///tmp/andere.tzv";
    server.raw(framed(outline) + framed(other) + framed(change));
    EXPECT_EQ(server.receive()["error"]["code"], -32801) << "the outline of the text before the change";
    EXPECT_EQ(server.receive()["id"], 6) << "another document's request is answered";
    const json published = server.receive();
    EXPECT_EQ(published["params"]["version"], 2);
    EXPECT_EQ(published["params"]["diagnostics"].at(0)["code"], "number-out-of-range");
}

// What the saved file adds beside the editor's text, by what the file holds.
TEST(LanguageServer, SavedFileBesideTheText)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string badFirstLine = "<uvra><versionsNr>5.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>"
                                     "01,02,03,04,05,06</ziroTipp></schein></uvra>";
    const struct {
        std::string saved;
        std::string text;
        std::vector<std::string> codes;
        std::string message; // of the first diagnostic
        int severity; // of the last
    } rows[] = {
        // The editor hides the mark and saves it again: one diagnostic, with
        // the file's column.
        { mark + badFirstLine, badFirstLine, { "version-mismatch" }, "Zeile 1, Spalte 22", 1 },
        // The file is correct, the text not: said as information.
        { "<uvra>" + goodTicket, "<uvra>" + badTicket, { "number-out-of-range", "saved-file-correct" },
            "Zeile 1, Spalte 85", 3 },
    };
    char folder[] = "/tmp/kavrin-lsp-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/tipps.tzv";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(row.saved.data(), 1, row.saved.size(), file);
        std::fclose(file);
        serverInProcess server;
        server.initialize();
        server.open(row.text, 1, "file://" + path);
        const json diagnostics = server.diagnostics();
        ASSERT_EQ(diagnostics.size(), row.codes.size()) << diagnostics.dump();
        for (std::size_t i = 0; i < row.codes.size(); ++i)
            EXPECT_EQ(diagnostics[i]["code"], row.codes[i]);
        EXPECT_NE(diagnostics[0]["message"].get<std::string>().find(row.message), std::string::npos);
        EXPECT_EQ(diagnostics.back()["severity"], row.severity);
    }
    std::remove(path.c_str());
    ::rmdir(folder);
}

// A quick fix names only the diagnostics that are gone once it is applied:
// a pool row of one field in small letters keeps its violation as a capital.
TEST(LanguageServer, QuickFixesNameOnlyWhatTheyRemove)
{
    const struct {
        std::string text;
        bool named;
    } rows[] = {
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>28</wsArt><schein><fenuTipp>x</fenuTipp></schein></uvra>", false },
        { "<uvra>" + header + "02,01,03,04,05,06</ziroTipp></schein></uvra>", true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        serverInProcess server;
        server.initialize();
        server.open(row.text);
        const json diagnostic = server.diagnostics().at(0);
        server.ask(7, "textDocument/codeAction",
            { { "textDocument", { { "uri", server.uri } } }, { "range", diagnostic["range"] },
                { "context", { { "diagnostics", { diagnostic } }, { "only", { "quickfix" } } } } });
        const json actions = server.receive()["result"];
        ASSERT_EQ(actions.size(), 1U) << "the fix is offered all the same";
        EXPECT_EQ(actions[0].contains("diagnostics"), row.named);
    }
}

// Each <schein> folds, and a tag lights up with its partner.
TEST(LanguageServer, FoldingAndMatchingTags)
{
    serverInProcess server;
    server.initialize();
    server.open(
        "<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n<schein>\n<ziroTipp>01,02,03,04,05,06</ziroTipp>\n"
        "</schein><schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>\n</uvra>");
    server.diagnostics();
    server.ask(2, "textDocument/foldingRange", { { "textDocument", { { "uri", server.uri } } } });
    EXPECT_EQ(server.receive()["result"], json::parse(R"([{"startLine":2,"endLine":4,"kind":"region"}])"));
    const struct {
        int line, character;
        std::vector<json> ranges;
    } rows[] = {
        { 2, 3, { range(2, 0, 8), range(4, 0, 9) } },
        { 4, 9, { range(4, 9, 17), range(4, 55, 64) } },
        { 3, 25, {} },
    };
    for (const auto& row : rows) {
        server.ask(3, "textDocument/documentHighlight",
            { { "textDocument", { { "uri", server.uri } } },
                { "position", { { "line", row.line }, { "character", row.character } } } });
        const json highlights = server.receive()["result"];
        ASSERT_EQ(highlights.size(), row.ranges.size()) << row.line << ":" << row.character;
        for (std::size_t i = 0; i < row.ranges.size(); ++i)
            EXPECT_EQ(highlights[i]["range"], row.ranges[i]);
    }
}

// The index finds every place of a text both ways, across its blocks and
// in each way of counting; a text of whole blocks too, up to its end.
TEST(LanguageServer, LineIndexFindsEveryPlaceBothWays)
{
    std::string whole;
    for (int i = 0; i < 40; ++i)
        whole += "<a>\xC3\xA4\xF0\x9F\x98\x80</a>\r\n<b>x</b>\r<c/>\n";
    const std::string blocks = whole.substr(0, 9 * 128);
    using kavrin::lsp::positionEncoding;
    for (const std::string& text : { blocks, whole })
        for (const positionEncoding encoding : { positionEncoding::utf16, positionEncoding::utf8,
                 positionEncoding::utf16LoneCrInLine, positionEncoding::utf8LoneCrInLine }) {
            const kavrin::lsp::lineIndex lines(text, encoding);
            for (std::size_t offset = 0; offset <= text.size(); ++offset) {
                // Inside a character or between CR and LF is no place of its own.
                const bool inCrLf
                    = offset > 0 && offset < text.size() && text[offset - 1] == '\r' && text[offset] == '\n';
                if (kavrin::lsp::characterStart(text, offset) == offset && !inCrLf) {
                    ASSERT_EQ(lines.offsetOf(lines.positionOf(offset)), offset) << int(encoding) << " at " << offset;
                }
            }
            if (text == whole) {
                EXPECT_EQ(lines.positionOf(text.size()).line, kavrin::lsp::loneCrEndsLine(encoding) ? 120U : 80U);
            }
        }
    const kavrin::lsp::lineIndex ofBlocks(blocks, positionEncoding::utf16);
    EXPECT_EQ(ofBlocks.positionOf(blocks.size()).character, 6U) << "after \"<b>x</\"";
}

} // namespace
