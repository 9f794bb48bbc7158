// kavrin-make: a correct ticket file from the player's data, as JSON (the
// form kavrin-check --export writes) or CSV with one tip a line.
#include "checker.h"
#include "dataInput.h"
#include "makeOptions.h"
#include "optionTable.h"
#include "platform.h"
#include "reasonText.h"
#include "reasons.h"
#include "resultText.h"
#include "terminalReport.h"
#include "ticketData.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace kavrin::cli;
using namespace kavrin::cli::make;

namespace {

constexpr int exitWritten = 0;
constexpr int exitBadInput = 1;
// As grep has them: 2 for trouble (a wrong call, input that cannot be read,
// output that cannot or may not be written).
constexpr int exitTrouble = 2;

// More than any data of a correct file takes, even as pretty JSON.
constexpr std::uint64_t inputLimit = 16 * 1024 * 1024;

constexpr std::string_view program = "kavrin-make";
constexpr std::string_view standardInputShown = "<stdin>";

constexpr std::string_view helpHead = "Aufruf: kavrin-make [OPTIONEN] [EINGABE]\n"
                                      "Macht aus Tippdaten eine korrekte Tippscheindatei (.tzv): aus dem JSON, das\n"
                                      "kavrin-check --export schreibt, oder aus CSV mit einem Tipp je Zeile.\n"
                                      "Ohne EINGABE oder mit - liest es die Standardeingabe.\n"
                                      "\n";
constexpr std::string_view helpTail = "\n"
                                      "CSV: eine Kopfzeile wie wsArt=47;kundenNr=4711, dann je Zeile die Nummer\n"
                                      "des Scheins und die Felder eines Tipps: 1;3;11;19;27;38;45\n"
                                      "\n"
                                      "Exit-Status: 0 die Tippdatei ist geschrieben, 1 die Eingabe ergibt keine\n"
                                      "korrekte Tippdatei (der Grund mit ihrer Zeile), 2 falscher Aufruf, die\n"
                                      "Datei gibt es schon, oder Ein- oder Ausgabe ließ sich nicht lesen oder\n"
                                      "schreiben.\n"
                                      "\n"
                                      "Handbuch: man kavrin-make\n";
constexpr std::size_t helpColumn = 22;

constexpr std::string_view versionText = "kavrin-make " KAVRIN_VERSION "\n" KAVRIN_LICENCE_LINE "\n";

void say(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

int trouble(const std::string& problem)
{
    say(std::string(program) + ": " + problem + "\n");
    return exitTrouble;
}

int usageError(const std::string& problem)
{
    return trouble(problem + " (Hilfe: " + std::string(program) + " --help)");
}

struct settings {
    std::string input; // "-" for standard input
    std::optional<std::string> output;
    bool force = false;
    kavrin::writeOptions file;
};

std::optional<int> readOptions(int argc, char** argv, settings& wanted)
{
    optionReader options(optionRows, argc, argv);
    for (;;) {
        const int option = options.next();
        if (option == -1)
            break;
        switch (option) {
        case outputOption:
            wanted.output = ::optarg;
            break;
        case forceOption:
            wanted.force = true;
            break;
        case crLfOption:
            wanted.file.crLf = true;
            break;
        case commentOption:
            wanted.file.comment = ::optarg;
            break;
        case helpOption: {
            const std::string text
                = std::string(helpHead) + optionHelpOf(optionRows, helpColumn) + std::string(helpTail);
            return platform::writeAll(platform::standardOutput, text) ? exitWritten : exitTrouble;
        }
        case versionOption:
            return platform::writeAll(platform::standardOutput, versionText) ? exitWritten : exitTrouble;
        default:
            return usageError(options.refused());
        }
    }
    if (argc - ::optind > 1)
        return usageError("höchstens eine EINGABE");
    wanted.input = ::optind < argc ? argv[::optind] : std::string(kavrin::standardInputArgument);
    return std::nullopt;
}

// The whole input, or why it cannot be read.
std::optional<std::string> readInput(const std::string& name, std::string& problem)
{
    const bool standardInput = name == kavrin::standardInputArgument;
    std::FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
    if (in == nullptr) {
        problem = kavrin::reasons::openCause(errno);
        return std::nullopt;
    }
    std::string text;
    char chunk[1 << 16];
    std::size_t got = 0;
    while (text.size() <= inputLimit && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        text.append(chunk, got);
    const bool failed = std::ferror(in) != 0;
    const int error = errno;
    if (!standardInput)
        std::fclose(in);
    if (failed) {
        problem = kavrin::reasons::openCause(error);
        return std::nullopt;
    }
    if (text.size() > inputLimit) {
        problem = "Die Eingabe ist größer als " + kavrin::reasons::grouped(inputLimit)
            + " Bytes; so viel brauchen die Daten keiner Tippdatei.";
        return std::nullopt;
    }
    return text;
}

// Without force a new file, never one that is there, not even one made
// meanwhile; with force a new file beside it that then takes its name, so
// that an old file is replaced only by a complete one, with the old one's
// permissions; through a symbolic link, the file it leads to. A file that
// could not be written whole is removed.
int writeFile(const std::string& given, const std::string& bytes, bool force)
{
    namespace fs = std::filesystem;
    const std::string shown = "„" + kavrin::terminalSafe(given) + "“";
    std::error_code ignored;
    std::string name = given;
    if (force && fs::is_symlink(fs::symlink_status(given, ignored))) {
        const fs::path target = fs::canonical(given, ignored);
        if (!target.empty())
            name = target.string();
    }
    const fs::file_status old = fs::status(name, ignored);
    const std::string written = force ? name + ".kavrin-make-" + std::to_string(::getpid()) : name;
    std::FILE* out = std::fopen(written.c_str(), "wbx");
    if (out == nullptr && errno == EEXIST && !force)
        return trouble(shown + " gibt es schon; --force ersetzt die Datei.");
    if (out == nullptr)
        return trouble(shown + " ließ sich nicht schreiben: " + kavrin::reasons::writeCause(errno));
    bool whole = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    int error = errno;
    whole = std::fclose(out) == 0 && whole;
    error = whole ? 0 : error != 0 ? error : errno;
    std::error_code renamed;
    if (whole && force) {
        if (fs::is_regular_file(old))
            fs::permissions(written, old.permissions(), ignored);
        fs::rename(written, name, renamed);
        error = renamed.value();
    }
    if (error == 0)
        return exitWritten;
    fs::remove(written, ignored);
    return trouble(shown + " ließ sich nicht schreiben: " + kavrin::reasons::writeCause(error));
}

} // namespace

int main(int argc, char** argv)
{
    platform::prepareStreams();
    std::vector<std::string> texts = platform::arguments(argc, argv);
    std::vector<char*> arguments = platform::pointersTo(texts);
    settings wanted;
    if (const std::optional<int> status = readOptions(int(texts.size()), arguments.data(), wanted))
        return *status;
    // A name the check would refuse is refused before anything is read.
    if (wanted.output) {
        std::string name = *wanted.output;
        if (const std::optional<kavrin::violation> fault = kavrin::detail::faultOfName(name))
            return usageError(
                "--output " + kavrin::terminalSafe(*wanted.output) + ": " + fault->message + " " + fault->reason);
        wanted.output = name;
    }

    const std::string shownInput = wanted.input == kavrin::standardInputArgument ? std::string(standardInputShown)
                                                                                 : kavrin::terminalSafe(wanted.input);
    std::string problem;
    const std::optional<std::string> text = readInput(wanted.input, problem);
    if (!text)
        return trouble(shownInput + ": " + problem);
    const kavrin::cli::dataInput given = kavrin::cli::readDataInput(*text);
    if (!given.fault.empty()) {
        say(std::string(program) + ": " + shownInput + ":" + std::to_string(given.faultLine) + ": " + given.fault
            + "\n");
        return exitBadInput;
    }
    const kavrin::written file = kavrin::write(given.data, wanted.file);
    if (file.fault) {
        if (file.fault->element.empty())
            return usageError("--comment: " + file.fault->reason);
        say(std::string(program) + ": " + shownInput + ":" + std::to_string(given.lines.lineOf(*file.fault)) + ": "
            + file.fault->reason + "\n");
        return exitBadInput;
    }
    if (wanted.output)
        return writeFile(*wanted.output, file.bytes, wanted.force);
    if (!platform::writeAll(platform::standardOutput, file.bytes))
        return trouble("Die Ausgabe ließ sich nicht schreiben: " + kavrin::reasons::writeCause(errno));
    return exitWritten;
}
