#include "terminalReport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int exitCorrect = 0;
constexpr int exitViolation = 1;
constexpr int exitUsage = 2;
constexpr int exitWriteFailed = 2;

// Off a terminal, lines are cut to this width.
constexpr std::size_t defaultWidth = 100;

constexpr std::string_view helpText
    = "Aufruf: kavrin-check [OPTIONEN] DATEI...\n"
      "Prüft TZV-Tippscheindateien (.tzv) wie das Kavrin-Fenster und meldet je Datei\n"
      "\"Datei korrekt. Tipps nun spielbar.\" oder den ersten Verstoß mit Zeile, Spalte und Grund.\n"
      "DATEI - liest die Standardeingabe.\n"
      "\n"
      "      --color[=WANN]  Farbe: auto (Standard: nur am Terminal, nie mit NO_COLOR\n"
      "                      oder TERM=dumb), always (auch: --color allein) oder never\n"
      "      --json          je Datei ein JSON-Objekt in einer Zeile (JSON Lines)\n"
      "  -q, --quiet         keine Ausgabe, nur der Exit-Status\n"
      "  -h, --help          diese Hilfe\n"
      "      --version       Version\n"
      "  --                  alles Folgende sind Dateinamen\n"
      "\n"
      "Exit-Status: 0 alle Dateien korrekt, 1 mindestens ein Verstoß,\n"
      "2 falscher Aufruf oder die Ausgabe ließ sich nicht schreiben.\n";

constexpr std::string_view versionText = "kavrin-check " KAVRIN_VERSION "\n"
                                         "Copyright (c) 2026 The Kavrin authors. Lizenz: MIT.\n";

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "kavrin-check: %s (Hilfe: kavrin-check --help)\n", problem.c_str());
    return exitUsage;
}

void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// What was written must have arrived: a full disk or a closed descriptor is
// an error, not a success.
int finish(int status)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kavrin-check: Ausgabe nicht schreibbar: %s\n", std::strerror(errno));
        return exitWriteFailed;
    }
    return status;
}

enum class colourChoice { automatic, always, never };

bool parseColour(std::string_view value, colourChoice& choice)
{
    if (value == "auto")
        choice = colourChoice::automatic;
    else if (value == "always")
        choice = colourChoice::always;
    else if (value == "never")
        choice = colourChoice::never;
    else
        return false;
    return true;
}

std::size_t terminalWidth()
{
    winsize size {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return defaultWidth;
}

} // namespace

int main(int argc, char** argv)
{
    enum option { colourOption = 256, jsonOption, versionOption };
    static const ::option longOptions[] = {
        { "color", optional_argument, nullptr, colourOption },
        { "json", no_argument, nullptr, jsonOption },
        { "quiet", no_argument, nullptr, 'q' },
        { "help", no_argument, nullptr, 'h' },
        { "version", no_argument, nullptr, versionOption },
        { nullptr, 0, nullptr, 0 },
    };
    colourChoice colour = colourChoice::automatic;
    bool json = false;
    bool quiet = false;
    ::opterr = 0;
    for (;;) {
        const int previous = ::optind;
        const int option = ::getopt_long(argc, argv, "qh", longOptions, nullptr);
        if (option == -1)
            break;
        switch (option) {
        case colourOption:
            if (::optarg != nullptr) {
                if (!parseColour(::optarg, colour))
                    return usageError("ungültiger Wert für --color: '" + std::string(::optarg) + "'");
            } else if (::optind < argc && parseColour(argv[::optind], colour)) {
                ++::optind; // --color always
            } else {
                colour = colourChoice::always;
            }
            break;
        case jsonOption:
            json = true;
            break;
        case 'q':
            quiet = true;
            break;
        case 'h':
            write(helpText);
            return finish(exitCorrect);
        case versionOption:
            write(versionText);
            return finish(exitCorrect);
        default: {
            const std::string given = ::optopt != 0 ? std::string("-") + static_cast<char>(::optopt) : argv[previous];
            return usageError("unbekannte oder mehrdeutige Option '" + given + "'");
        }
        }
    }
    std::vector<std::string> files(argv + ::optind, argv + argc);
    if (files.empty())
        return usageError("keine Datei angegeben");

    const char* noColour = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    const bool onTerminal = ::isatty(STDOUT_FILENO);
    const bool useColour = colour == colourChoice::always
        || (colour == colourChoice::automatic && onTerminal && (noColour == nullptr || *noColour == '\0')
            && !(term != nullptr && std::string_view(term) == "dumb"));
    const std::size_t width = onTerminal ? terminalWidth() : defaultWidth;

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    int status = exitCorrect;
    for (const std::string& file : files) {
        const kavrin::fileReport report = kavrin::checkOneFile(file);
        if (!report.valid)
            status = exitViolation;
        if (quiet)
            continue;
        write(json ? kavrin::jsonReport(report) + '\n' : kavrin::humanReport(report, useColour, width));
    }
    return finish(status);
}
