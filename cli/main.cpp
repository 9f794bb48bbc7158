#include "codes.h"
#include "dataInput.h"
#include "formatter.h"
#include "optionTable.h"
#include "options.h"
#include "platform.h"
#include "reasons.h"
#include "repairCommand.h"
#include "resultText.h"
#include "terminalReport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace kavrin::cli;

namespace {

constexpr int exitCorrect = 0;
constexpr int exitViolation = 1;
// As grep has them: 2 for trouble (a file that cannot be read, a wrong
// call, output that cannot be written), also when violations were found.
constexpr int exitUsage = 2;
constexpr int exitTrouble = 2;
constexpr int exitWriteFailed = 2;

// Off a terminal, lines are cut to this width.
constexpr std::size_t defaultWidth = 100;

constexpr std::string_view helpHead
    = "Aufruf: kavrin-check [OPTIONEN] DATEI...\n"
      "Prüft TZV-Tippscheindateien (.tzv) wie das Kavrin-Fenster und meldet je Datei\n"
      "\"Datei korrekt. Tipps nun spielbar.\" oder den ersten Verstoß mit Zeile, Spalte und Grund.\n"
      "DATEI - liest die Standardeingabe.\n"
      "\n";
constexpr std::string_view helpTail = "  --                  alles Folgende sind Dateinamen\n"
                                      "\n"
                                      "Exit-Status: 0 alle Dateien korrekt, 1 mindestens ein Verstoß, 2 eine Datei\n"
                                      "ließ sich nicht lesen, falscher Aufruf oder die Ausgabe ließ sich nicht\n"
                                      "schreiben (2 auch, wenn dazu Verstöße gefunden wurden).\n"
                                      "\n";
constexpr std::size_t helpColumn = 22;

std::string helpText()
{
    return std::string(helpHead).append(optionHelpOf(optionRows, helpColumn)).append(helpTail).append(systemHelp);
}

constexpr std::string_view versionText = "kavrin-check " KAVRIN_VERSION "\n" KAVRIN_LICENCE_LINE "\n";

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "kavrin-check: %s (Hilfe: kavrin-check --help)\n", problem.c_str());
    return exitUsage;
}

void writeOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// What was written must have arrived: a full disk or a closed descriptor is
// an error, not a success.
int finish(int status)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kavrin-check: Die Ausgabe ließ sich nicht schreiben: %s\n",
            kavrin::reasons::writeCause(errno).c_str());
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

// COLUMNS when it is set, as other tools honour it, off a terminal too.
std::size_t widthWanted(int descriptor, bool onTerminal)
{
    if (const char* columns = std::getenv("COLUMNS")) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(columns, &end, 10);
        if (end != columns && *end == '\0' && value > 0 && value < 10000)
            return value;
    }
    const std::size_t terminal = onTerminal ? platform::terminalWidth(descriptor) : 0;
    return terminal > 0 ? terminal : defaultWidth;
}

struct settings {
    colourChoice colour = colourChoice::automatic;
    bool json = false;
    bool quiet = false;
    bool all = false;
    bool repair = false;
    bool force = false;
    bool exportData = false;
    bool format = false;
    std::size_t maxViolations = kavrin::defaultMaxViolations;
    std::vector<std::string> files;
};

// Reads the options into wanted; an exit status when the call ends here
// (help, version, a wrong call).
std::optional<int> readOptions(int argc, char** argv, settings& wanted)
{
    optionReader options(optionRows, argc, argv);
    for (;;) {
        const int option = options.next();
        if (option == -1)
            break;
        switch (option) {
        case colourOption:
            if (::optarg != nullptr) {
                if (!parseColour(::optarg, wanted.colour))
                    return usageError("ungültiger Wert für --color: '" + kavrin::terminalSafe(::optarg) + "'");
            } else if (::optind < argc && parseColour(argv[::optind], wanted.colour)) {
                ++::optind; // --color always
            } else {
                wanted.colour = colourChoice::always;
            }
            break;
        case jsonOption:
            wanted.json = true;
            break;
        case allOption:
            wanted.all = true;
            break;
        case maxViolationsOption: {
            char* end = nullptr;
            errno = 0;
            const unsigned long long limit = std::strtoull(::optarg, &end, 10);
            if (end == ::optarg || *end != '\0' || errno != 0 || limit == 0 || ::optarg[0] == '-')
                return usageError("ungültiger Wert für --max-violations: '" + kavrin::terminalSafe(::optarg) + "'");
            wanted.maxViolations = static_cast<std::size_t>(limit);
            break;
        }
        case repairOption:
            wanted.repair = true;
            break;
        case forceOption:
            wanted.force = true;
            break;
        case exportOption:
            wanted.exportData = true;
            break;
        case formatOption:
            wanted.format = true;
            break;
        case quietOption:
            wanted.quiet = true;
            break;
        case helpOption:
            writeOut(helpText());
            return finish(exitCorrect);
        case versionOption:
            writeOut(versionText);
            return finish(exitCorrect);
        default:
            return usageError(options.refused());
        }
    }
    wanted.files.assign(argv + ::optind, argv + argc);
    if (const std::optional<std::string> problem = platform::expandPatterns(wanted.files))
        return usageError(*problem);
    if (wanted.files.empty())
        return usageError("keine Datei angegeben");
    if (wanted.repair && wanted.files.size() != 1)
        return usageError("--repair nimmt genau eine Datei");
    if (wanted.repair && wanted.exportData)
        return usageError("--repair und --export schließen sich aus");
    if (wanted.format && (wanted.repair || wanted.exportData))
        return usageError("--format schließt --repair und --export aus");
    if (wanted.format && wanted.files.size() != 1)
        return usageError("--format nimmt genau eine Datei");
    return std::nullopt;
}

// Colour as asked, and by default only on a terminal that shows it and
// where the user did not turn it off.
bool wantsColour(colourChoice colour, int descriptor)
{
    const bool onTerminal = platform::isTerminal(descriptor);
    const char* noColour = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    return colour == colourChoice::always
        || (colour == colourChoice::automatic && onTerminal && (noColour == nullptr || *noColour == '\0')
            && !(term != nullptr && std::string_view(term) == "dumb") && platform::showsColour(descriptor));
}

// The named file, or with "-" standard input.
kavrin::fileReport checkOneFile(const std::string& argument, std::size_t maxViolations)
{
    return kavrin::reportOf(argument,
        argument == kavrin::standardInputArgument ? kavrin::source::standardInput() : kavrin::source::file(argument),
        maxViolations);
}

// kavrin-check --format FILE: the file in the canonical layout on standard
// output, as --repair writes its copy; the file itself is only read. The
// exit status is the copy's verdict, which the layout never changes: 0 or 1,
// and 2 when nothing could be read or written.
int formatCommand(const settings& wanted)
{
    constexpr std::string_view copyName = "<formatierte Fassung>";
    constexpr std::string_view notFormatted
        = "kavrin-check: nicht formatiert: das Layout hätte geändert, was die Prüfung findet; die Datei steht "
          "unverändert in der Ausgabe.\n";
    // False when standard error took less than the whole text.
    const auto say
        = [](std::string_view text) { return std::fwrite(text.data(), 1, text.size(), stderr) == text.size(); };
    const std::string& file = wanted.files.front();
    const bool fromStandardInput = file == kavrin::standardInputArgument;
    // The shell empties a file before the program starts when its output is
    // sent there: there would be nothing left to format.
    if (!fromStandardInput && platform::sameFile(file, platform::standardOutput)) {
        say("kavrin-check: Eingabe und Ausgabe sind dieselbe Datei '" + kavrin::terminalSafe(file)
            + "': die formatierte Fassung an einen anderen Ort schreiben.\n");
        return exitTrouble;
    }
    kavrin::source what = fromStandardInput ? kavrin::source::standardInput() : kavrin::source::file(file);
    what.nameRules = false;
    const kavrin::fileReport original = kavrin::readingOf(file, what);
    const bool colour = wantsColour(wanted.colour, platform::standardError);
    const std::size_t width = widthWanted(platform::standardError, platform::isTerminal(platform::standardError));
    const kavrin::violation* first = original.checked.first();
    if (first != nullptr && (first->code == kavrin::codes::cannotOpen || first->code == kavrin::codes::fileTooLarge)) {
        if (!wanted.quiet)
            say(wanted.json ? kavrin::jsonReport(original) + '\n' : kavrin::humanReport(original, colour, width));
        return exitTrouble; // nothing read, nothing written
    }
    const kavrin::formatResult formatted = kavrin::formatBytes(original.checked.input.view());
    if (!platform::writeAll(platform::standardOutput, formatted.bytes)) {
        say("kavrin-check: Die Ausgabe ließ sich nicht schreiben: " + kavrin::reasons::writeCause(errno) + "\n");
        return exitWriteFailed;
    }
    const kavrin::fileReport copy = kavrin::reportOf(
        std::string(copyName), kavrin::source::bytes(formatted.bytes), wanted.all ? wanted.maxViolations : 1);
    if (!wanted.quiet) {
        std::string report = formatted.formatted ? std::string() : std::string(notFormatted);
        if (!copy.valid())
            report += wanted.json ? kavrin::jsonReport(copy) + '\n' : kavrin::humanReport(copy, colour, width);
        if (!say(report))
            return exitTrouble;
    }
    return copy.valid() ? exitCorrect : exitViolation;
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
    if (wanted.repair) {
        const bool errorsOnTerminal = platform::isTerminal(platform::standardError);
        return repairCommand({ wanted.files.front(), wanted.json, wanted.quiet, wanted.force,
            wantsColour(wanted.colour, platform::standardError), widthWanted(platform::standardError, errorsOnTerminal),
            wanted.maxViolations });
    }
    if (wanted.format)
        return formatCommand(wanted);
    const bool onTerminal = platform::isTerminal(platform::standardOutput);
    const bool useColour = wantsColour(wanted.colour, platform::standardOutput);
    const std::size_t width = widthWanted(platform::standardOutput, onTerminal);

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    int status = exitCorrect;
    std::size_t violations = 0;
    for (const std::string& file : wanted.files) {
        const std::size_t maxViolations = wanted.all ? wanted.maxViolations : 1;
        // Exported, a file is read by the check's own walk, once; its data
        // goes out, and what is wrong with it beside the data.
        std::optional<kavrin::ticketFile> data;
        kavrin::fileReport report;
        if (wanted.exportData) {
            kavrin::reading read = kavrin::read(
                file == kavrin::standardInputArgument ? kavrin::source::standardInput() : kavrin::source::file(file),
                { maxViolations, true });
            report = { file, std::move(read.checked), wanted.all };
            data = std::move(read.data);
        } else {
            report = checkOneFile(file, maxViolations);
        }
        const kavrin::violation* first = report.checked.first();
        if (first != nullptr && first->code == kavrin::codes::cannotOpen)
            status = exitTrouble;
        else if (first != nullptr && status != exitTrouble)
            status = exitViolation;
        violations += report.checked.violations.size();
        if (wanted.quiet)
            continue;
        if (data) {
            writeOut(kavrin::cli::exportJson(file, *data) + "\n");
        } else if (wanted.exportData) {
            const std::string diagnostic = wanted.json
                ? kavrin::jsonReport(report) + "\n"
                : kavrin::humanReport(report, wantsColour(wanted.colour, platform::standardError),
                    widthWanted(platform::standardError, platform::isTerminal(platform::standardError)));
            std::fwrite(diagnostic.data(), 1, diagnostic.size(), stderr);
        } else if (wanted.json) {
            kavrin::writeJsonReport(report, writeOut);
            writeOut("\n");
        } else {
            kavrin::writeHumanReport(report, useColour, width, writeOut);
        }
    }
    if (wanted.all && !wanted.json && !wanted.quiet && !wanted.exportData)
        writeOut(kavrin::violationCountText(violations, wanted.files.size()) + '\n');
    return finish(status);
}
