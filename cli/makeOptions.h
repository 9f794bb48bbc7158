#pragma once

#include <getopt.h>
#include <string_view>

// kavrin-make's options, each once: getopt's table, --help and the shell
// completions are made from it.
namespace kavrin::cli::make {

enum optionId {
    forceOption = 256,
    crLfOption,
    commentOption,
    versionOption,
    outputOption = 'o',
    helpOption = 'h',
};

struct optionRow {
    const char* name;
    optionId id;
    int argument; // no_argument or required_argument
    const char* shown; // as --help shows it
    std::string_view help; // its later lines are indented to the help column
};

inline constexpr optionRow optionRows[] = {
    { "output", outputOption, required_argument, "--output=DATEI",
        "die Tippdatei als DATEI schreiben, nicht auf die\n"
        "Standardausgabe; der Name endet auf .tzv" },
    { "force", forceOption, no_argument, "--force", "eine vorhandene DATEI ersetzen" },
    { "crlf", crLfOption, no_argument, "--crlf", "Zeilenenden CR LF (Windows), sonst LF" },
    { "comment", commentOption, required_argument, "--comment=TEXT",
        "eine Kommentarzeile <!-- TEXT --> nach der Deklaration" },
    { "help", helpOption, no_argument, "--help", "diese Hilfe" },
    { "version", versionOption, no_argument, "--version", "Version" },
};

} // namespace kavrin::cli::make
