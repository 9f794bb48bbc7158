#include "report.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr int exitCorrect = 0;
constexpr int exitViolation = 1;
constexpr int exitUsage = 2;

constexpr std::string_view helpText
    = "Aufruf: kavrin-check [OPTIONEN] DATEI...\n"
      "Prüft TZV-Tippscheindateien (.tzv) wie das Kavrin-Fenster und meldet je Datei\n"
      "\"Datei korrekt. Tipps nun spielbar.\" oder den ersten Verstoß mit Zeile und Spalte.\n"
      "\n"
      "  --color=WANN   Farbe: auto (Standard: nur am Terminal, nie mit NO_COLOR),\n"
      "                 always oder never\n"
      "  --json         je Datei ein JSON-Objekt in einer Zeile (JSON Lines)\n"
      "  -q, --quiet    keine Ausgabe, nur der Exit-Status\n"
      "  -h, --help     diese Hilfe\n"
      "      --version  Version\n"
      "  --             alles Folgende sind Dateinamen\n"
      "\n"
      "Exit-Status: 0 alle Dateien korrekt, 1 mindestens ein Verstoß, 2 falscher Aufruf.\n";

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "kavrin-check: %s (Hilfe: kavrin-check --help)\n", problem.c_str());
    return exitUsage;
}

void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

} // namespace

int main(int argc, char** argv)
{
    enum class colourChoice { automatic, always, never } colour = colourChoice::automatic;
    bool json = false;
    bool quiet = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "-q" || arg == "--quiet") {
            quiet = true;
        } else if (arg == "-h" || arg == "--help") {
            write(helpText);
            return exitCorrect;
        } else if (arg == "--version") {
            write("kavrin-check 02.11\n");
            return exitCorrect;
        } else if (arg == "--color=auto") {
            colour = colourChoice::automatic;
        } else if (arg == "--color=always") {
            colour = colourChoice::always;
        } else if (arg == "--color=never") {
            colour = colourChoice::never;
        } else {
            return usageError("unbekannte Option '" + std::string(arg) + "'");
        }
    }
    if (files.empty())
        return usageError("keine Datei angegeben");

    const char* noColour = std::getenv("NO_COLOR");
    const bool useColour = colour == colourChoice::always
        || (colour == colourChoice::automatic && ::isatty(STDOUT_FILENO) && (noColour == nullptr || *noColour == '\0'));

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    int status = exitCorrect;
    for (const std::string& file : files) {
        const kavrin::fileReport report = kavrin::checkOneFile(file);
        if (!report.valid)
            status = exitViolation;
        if (quiet)
            continue;
        write(json ? kavrin::jsonReport(report) + '\n' : kavrin::humanReport(report, useColour));
    }
    std::fflush(stdout);
    return status;
}
