#include "framing.h"
#include "server.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int exitUsage = 2;

constexpr std::string_view helpText
    = "Aufruf: kavrin-lsp [--stdio]\n"
      "Sprachserver (Language Server Protocol) für TZV-Tippscheindateien (.tzv): prüft den Text im Editor\n"
      "während der Eingabe wie kavrin-check und meldet den ersten Verstoß als Diagnose.\n"
      "Er spricht über Standardein- und -ausgabe und schreibt nichts auf die Platte.\n"
      "\n"
      "  --stdio        über Standardein- und -ausgabe sprechen (so oder so)\n"
      "  -h, --help     diese Hilfe\n"
      "      --version  Version\n";

// Writes all of it, or reports that the client has gone.
bool writeAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--stdio")
            continue;
        if (arg == "-h" || arg == "--help")
            return writeAll(helpText) ? 0 : exitUsage;
        if (arg == "--version")
            return writeAll("kavrin-lsp " KAVRIN_VERSION "\n" KAVRIN_LICENCE_LINE "\n") ? 0 : exitUsage;
        std::fprintf(stderr, "kavrin-lsp: unbekannte Option '%s' (Hilfe: kavrin-lsp --help)\n", argv[i]);
        return exitUsage;
    }
    // A client that goes away shows as a failed write, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);

    bool clientGone = false;
    kavrin::lsp::server server(
        [&clientGone](const std::string& body) { clientGone = clientGone || !writeAll(kavrin::lsp::framed(body)); });
    kavrin::lsp::messageReader reader;
    static char chunk[64 * 1024];
    using clock = kavrin::lsp::server::clock;
    while (!server.exited() && !clientGone) {
        int timeout = -1;
        if (const auto due = server.nextDue()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
        }
        pollfd input { STDIN_FILENO, POLLIN, 0 };
        const int ready = ::poll(&input, 1, timeout);
        if (ready < 0 && errno != EINTR)
            return 1;
        if (ready > 0) {
            const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return 1; // the client closed the stream without exit
            reader.feed(std::string_view(chunk, static_cast<std::size_t>(got)));
            kavrin::lsp::deliverMessages(reader, server, clock::now());
        }
        server.runDue(clock::now());
    }
    return server.status();
}
