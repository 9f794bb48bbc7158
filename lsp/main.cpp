#include "framing.h"
#include "server.h"
#include "standardStreams.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>

namespace {

constexpr int exitUsage = 2;

constexpr std::string_view helpText
    = "Aufruf: kavrin-lsp [--stdio]\n"
      "Sprachserver (Language Server Protocol) für TZV-Tippscheindateien (.tzv): prüft den Text im Editor\n"
      "während der Eingabe wie kavrin-check und meldet jeden Verstoß als Diagnose, mit den sicheren\n"
      "Korrekturen als Code-Aktionen; ergänzt die Elemente, die das Format an einer Stelle erlaubt, und\n"
      "formatiert wie kavrin-check --format. Er spricht über Standardein- und -ausgabe und schreibt\n"
      "nichts auf die Platte; Korrekturen ändern nur den Text im Editor.\n"
      "\n"
      "  --stdio        über Standardein- und -ausgabe sprechen (so oder so)\n"
      "  -h, --help     diese Hilfe\n"
      "      --version  Version\n";

bool writeAll(std::string_view bytes) { return kavrin::lsp::streams::writeOutput(bytes); }

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
    kavrin::lsp::streams::prepare();

    bool clientGone = false;
    kavrin::lsp::server server(
        [&clientGone](const std::string& body) { clientGone = clientGone || !writeAll(kavrin::lsp::framed(body)); });
    kavrin::lsp::messageReader reader;
    static char chunk[64 * 1024];
    using clock = kavrin::lsp::server::clock;
    bool inputEnded = false;
    while (!server.exited() && !clientGone) {
        // Input is looked at again before each message is handled, so that
        // a change or a cancellation read meanwhile overtakes the requests
        // before it.
        int timeout = -1;
        if (server.busy() || inputEnded) {
            timeout = 0;
        } else if (const auto due = server.nextDue()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
        }
        const int ready = inputEnded ? 0 : kavrin::lsp::streams::waitForInput(timeout);
        if (ready < 0)
            return 1;
        if (ready > 0) {
            const std::ptrdiff_t got = kavrin::lsp::streams::readInput(chunk, sizeof chunk);
            if (got < 0)
                return 1;
            inputEnded = got == 0;
            reader.feed(std::string_view(chunk, static_cast<std::size_t>(got)));
            kavrin::lsp::takeMessages(reader, server);
        }
        if (server.busy())
            server.step(clock::now());
        // What is due goes out as soon as the last message read is handled,
        // before the next wait.
        if (!server.busy()) {
            if (inputEnded)
                return 1; // the client closed the stream without exit
            server.runDue(clock::now());
        }
    }
    return server.status();
}
