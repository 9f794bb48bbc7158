#pragma once

#include <getopt.h>
#include <string_view>

// kavrin-check's options, each once: getopt's table, --help and the shell
// completions are made from it.
namespace kavrin::cli {

enum optionId {
    colourOption = 256,
    jsonOption,
    versionOption,
    maxViolationsOption,
    forceOption,
    exportOption,
    formatOption,
    quietOption = 'q',
    helpOption = 'h',
    allOption = 'a',
    repairOption = 'r',
};

// What --help says differently on each system: when colour is on, where
// a name with wildcards is expanded, where to read on and report a fault.
#ifdef _WIN32
inline constexpr std::string_view colourHelp = "Farbe: auto (Standard: nur an der Konsole, nie mit\n"
                                               "NO_COLOR), always (auch: --color allein) oder never";
inline constexpr std::string_view systemHelp
    = "DATEI darf * und ? enthalten: korrekt-*.tzv prüft alle passenden Dateien.\n"
      "\n"
      "Anleitung: LIESMICH.txt neben kavrin-check.exe\n"
      "Fehler melden: dort, woher Kavrin stammt.\n";
#else
inline constexpr std::string_view colourHelp = "Farbe: auto (Standard: nur am Terminal, nie mit NO_COLOR\n"
                                               "oder TERM=dumb), always (auch: --color allein) oder never";
inline constexpr std::string_view systemHelp = "Handbuch: man kavrin-check\n"
                                               "Fehler melden: mit reportbug kavrin-check (Debian) oder dort, woher\n"
                                               "Kavrin stammt.\n";
#endif

struct optionRow {
    const char* name;
    optionId id;
    int argument; // no_argument, optional_argument or required_argument
    const char* shown; // as --help shows it
    std::string_view help; // its later lines are indented to the help column
};

inline constexpr optionRow optionRows[] = {
    { "color", colourOption, optional_argument, "--color[=WANN]", colourHelp },
    { "all", allOption, no_argument, "--all", "jeden Verstoß melden, nicht nur den ersten" },
    { "max-violations", maxViolationsOption, required_argument, "--max-violations=N",
        "mit --all höchstens N Verstöße je Datei (Standard: 1000)" },
    { "repair", repairOption, no_argument, "--repair",
        "die korrigierte Fassung der einen DATEI auf die Standard-\n"
        "ausgabe schreiben, die Korrekturen auf die Standardfehler-\n"
        "ausgabe; die DATEI selbst bleibt unverändert" },
    { "force", forceOption, no_argument, "--force", "mit --repair auch an ein Terminal schreiben" },
    { "format", formatOption, no_argument, "--format",
        "die eine DATEI im einheitlichen Layout auf die Standard-\n"
        "ausgabe schreiben; Werte, Kommentare und Daten bleiben,\n"
        "die DATEI selbst bleibt unverändert" },
    { "json", jsonOption, no_argument, "--json", "je Datei ein JSON-Objekt in einer Zeile (JSON Lines)" },
    { "export", exportOption, no_argument, "--export",
        "die Daten jeder korrekten DATEI als JSON-Objekt in einer\n"
        "Zeile; eine DATEI mit Verstoß bekommt ihre Meldung auf\n"
        "der Standardfehlerausgabe" },
    { "quiet", quietOption, no_argument, "--quiet", "keine Ausgabe, nur der Exit-Status" },
    { "help", helpOption, no_argument, "--help", "diese Hilfe" },
    { "version", versionOption, no_argument, "--version", "Version" },
};

// The values --color takes, for the completions.
inline constexpr std::string_view colourValues[] = { "auto", "always", "never" };

} // namespace kavrin::cli
