#include "ticketFiles.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <poll.h>

// lspBench KAVRIN_LSP [RUNS]: kavrin-lsp driven through pipes as an editor
// drives it, on the benchmark's files: milliseconds from the message sent to
// the answer arrived whole, the median of RUNS (default 5).
namespace {

using nlohmann::json;
using clock_type = std::chrono::steady_clock;

class server {
public:
    explicit server(const char* program)
    {
        int toServer[2], fromServer[2];
        if (::pipe(toServer) != 0 || ::pipe(fromServer) != 0)
            std::exit(2);
        child = ::fork();
        if (child == 0) {
            ::dup2(toServer[0], STDIN_FILENO);
            ::dup2(fromServer[1], STDOUT_FILENO);
            ::close(toServer[1]);
            ::close(fromServer[0]);
            ::execl(program, program, "--stdio", nullptr);
            ::_exit(127);
        }
        ::close(toServer[0]);
        ::close(fromServer[1]);
        in = toServer[1];
        out = fromServer[0];
    }
    ~server()
    {
        ::close(in);
        ::close(out);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }

    static std::string framed(const json& message)
    {
        const std::string body = message.dump();
        return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    }
    void write(const std::string& bytes)
    {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(in, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                std::exit(2);
            done += static_cast<std::size_t>(n);
        }
    }
    // The next message; the benchmark ends when none comes in five minutes.
    json read()
    {
        for (;;) {
            const std::size_t end = buffer.find("\r\n\r\n");
            if (end != std::string::npos) {
                const std::size_t length = std::stoul(buffer.substr(buffer.find(':') + 1));
                if (buffer.size() >= end + 4 + length) {
                    arrived = clock_type::now();
                    json message = json::parse(buffer.substr(end + 4, length));
                    buffer.erase(0, end + 4 + length);
                    return message;
                }
            }
            pollfd ready { out, POLLIN, 0 };
            char chunk[1 << 16];
            if (::poll(&ready, 1, 300'000) != 1) {
                std::fprintf(stderr, "lspBench: no answer\n");
                std::exit(1);
            }
            const ssize_t n = ::read(out, chunk, sizeof chunk);
            if (n <= 0)
                std::exit(1);
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // Reads up to the answer to id, or the diagnostics of that version.
    json answer(int id)
    {
        for (;;)
            if (json message = read(); message.value("id", json()) == id)
                return message;
    }
    json diagnostics(int version)
    {
        for (;;)
            if (json message = read(); message.value("method", "") == "textDocument/publishDiagnostics"
                && message["params"].value("version", -1) == version)
                return message;
    }

    // When the last message read had arrived whole, before it was parsed:
    // the time an answer takes is the server's, not the parser's.
    clock_type::time_point arrived;

private:
    pid_t child = -1;
    int in = -1;
    int out = -1;
    std::string buffer;
};

json request(int id, std::string_view method, json params)
{
    return { { "jsonrpc", "2.0" }, { "id", id }, { "method", method }, { "params", std::move(params) } };
}

json notification(std::string_view method, json params)
{
    return { { "jsonrpc", "2.0" }, { "method", method }, { "params", std::move(params) } };
}

json position(std::string_view text, std::size_t offset)
{
    const std::size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
    const std::size_t line = static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
    const std::size_t character = lineStart == std::string_view::npos ? offset : offset - lineStart - 1;
    return { { "line", line }, { "character", character } };
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double between(clock_type::time_point start, clock_type::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "Aufruf: lspBench KAVRIN_LSP [DURCHLÄUFE]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const auto folder = std::filesystem::temp_directory_path() / ("kavrin-lsp-bench-" + std::to_string(::getpid()));
    kavrin::bench::writeTicketFiles(folder);
    server lsp(argv[1]);
    lsp.write(server::framed(request(1, "initialize", { { "capabilities", json::object() } })));
    lsp.answer(1);
    lsp.write(server::framed(notification("initialized", json::object())));

    std::printf("%-38s %8s %8s %8s %8s %8s %8s %8s %8s %8s %11s\n", "ms (median)", "diagn.", "change", "outline",
        "hover", "action", "action 2", "folding", "complete", "format", "change+out.");
    int id = 10;
    for (const char* name : { "small-valid.tzv", "valid-47-4mib.tzv", "broken-last-ticket-4mib.tzv",
             "many-violations-4mib.tzv", "many-violations-single-line-4mib.tzv", "repair-unsorted-4mib.tzv" }) {
        const std::filesystem::path path = folder / name;
        std::string text;
        for (const auto& files : { kavrin::bench::ticketFiles(), kavrin::bench::repairFiles() })
            for (const kavrin::bench::ticketFile& file : files)
                if (file.name == name)
                    text = file.content;
        const std::string uri = "file://" + path.string();
        const json document = { { "uri", uri } };
        // A keystroke in the first comment, or at the start where there is none.
        const std::size_t typed = std::min(text.find("Tipps"), text.size());
        const json typedAt = position(text, typed);
        const json typedRange = { { "start", typedAt },
            { "end", { { "line", typedAt["line"] }, { "character", typedAt["character"].get<int>() + 1 } } } };
        // Hover and code actions on the last tip.
        const json lastTip = position(text, text.rfind("<ziroTipp>") + 3);
        const json lastTipRange = { { "start", lastTip }, { "end", lastTip } };
        // Completion after the last tip: another tip may follow.
        const json endOfTicket = position(text, text.rfind("</ziroTipp>") + 11);

        int version = 1;
        std::vector<double> opened, changed, outline, hover, action, again, folding, completion, formatting,
            changeAfterOutline;
        for (int run = 0; run < runs; ++run) {
            auto start = clock_type::now();
            lsp.write(server::framed(notification("textDocument/didOpen",
                { { "textDocument",
                    { { "uri", uri }, { "languageId", "tzv" }, { "version", ++version }, { "text", text } } } })));
            const std::size_t count = lsp.diagnostics(version)["params"]["diagnostics"].size();
            opened.push_back(between(start, lsp.arrived));

            const auto change = [&] {
                return server::framed(notification("textDocument/didChange",
                    { { "textDocument", { { "uri", uri }, { "version", ++version } } },
                        { "contentChanges",
                            { { { "range", typedRange }, { "text", version % 2 == 0 ? "T" : "t" } } } } }));
            };
            start = clock_type::now();
            lsp.write(change());
            lsp.diagnostics(version);
            changed.push_back(between(start, lsp.arrived));

            const auto timed = [&](std::vector<double>& into, std::string_view method, json params) {
                const auto asked = clock_type::now();
                lsp.write(server::framed(request(++id, method, std::move(params))));
                lsp.answer(id);
                into.push_back(between(asked, lsp.arrived));
            };
            timed(outline, "textDocument/documentSymbol", { { "textDocument", document } });
            timed(hover, "textDocument/hover", { { "textDocument", document }, { "position", lastTip } });
            const json actionParams = { { "textDocument", document }, { "range", lastTipRange },
                { "context", { { "diagnostics", json::array() } } } };
            timed(action, "textDocument/codeAction", actionParams);
            timed(again, "textDocument/codeAction", actionParams);
            timed(folding, "textDocument/foldingRange", { { "textDocument", document } });
            timed(completion, "textDocument/completion", { { "textDocument", document }, { "position", endOfTicket } });
            timed(formatting, "textDocument/formatting",
                { { "textDocument", document }, { "options", { { "tabSize", 2 }, { "insertSpaces", true } } } });

            // An outline asked for, then a keystroke at once: how long its
            // diagnostics wait.
            start = clock_type::now();
            lsp.write(server::framed(request(++id, "textDocument/documentSymbol", { { "textDocument", document } }))
                + change());
            for (bool answered = false, published = false; !answered || !published;) {
                const json message = lsp.read();
                answered = answered || message.value("id", json()) == id;
                if (!published && message.value("method", "") == "textDocument/publishDiagnostics"
                    && message["params"].value("version", -1) == version) {
                    published = true;
                    changeAfterOutline.push_back(between(start, lsp.arrived));
                }
            }

            lsp.write(server::framed(notification("textDocument/didClose", { { "textDocument", document } })));
            if (run == 0)
                std::printf("%-38s (%zu diagnostics)\n", name, count);
        }
        std::printf("%-38s %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %11.1f\n", "", median(opened),
            median(changed), median(outline), median(hover), median(action), median(again), median(folding),
            median(completion), median(formatting), median(changeAfterOutline));
    }
    lsp.write(server::framed(request(2, "shutdown", nullptr)));
    lsp.answer(2);
    lsp.write(server::framed(notification("exit", nullptr)));
    std::filesystem::remove_all(folder);
    return 0;
}
