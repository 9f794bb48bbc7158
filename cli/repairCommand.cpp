#include "repairCommand.h"

#include "codes.h"
#include "reasons.h"
#include "repair.h"
#include "resultText.h"
#include "terminalReport.h"

#include "platform.h"

#include <cerrno>
#include <cstdio>

namespace kavrin::cli {

namespace {

    constexpr int exitCorrect = 0;
    constexpr int exitViolation = 1;
    constexpr int exitTrouble = 2;

    // How the diagnostics name the repaired copy: it has no name of its own.
    constexpr std::string_view copyName = "<korrigierte Fassung>";
    constexpr std::string_view repairedLabel = " korrigiert: ";

    void say(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }

    int trouble(const std::string& problem)
    {
        say("kavrin-check: " + problem + "\n");
        return exitTrouble;
    }

    std::string changeLine(const std::string& shownName, const repairChange& change)
    {
        std::string line = shownName;
        if (change.line != 0)
            line += ':' + std::to_string(change.line) + ':' + std::to_string(change.column);
        line += ':';
        line += repairedLabel;
        line += changeWhat(change);
        if (!change.code.empty())
            line += " [" + change.code + "]";
        return line + '\n';
    }

    std::string jsonChanges(const std::vector<repairChange>& changes)
    {
        std::string out = "[";
        for (const repairChange& change : changes) {
            if (out.size() > 1)
                out += ',';
            out += "{\"line\":" + std::to_string(change.line) + ",\"column\":" + std::to_string(change.column)
                + ",\"offset\":" + std::to_string(change.offset) + ",\"length\":" + std::to_string(change.length)
                + ",\"code\":" + (change.code.empty() ? std::string("null") : jsonQuoted(change.code))
                + ",\"what\":" + jsonQuoted(change.what) + ",\"before\":" + jsonQuoted(change.before)
                + ",\"after\":" + jsonQuoted(change.after) + '}';
        }
        return out + ']';
    }

} // namespace

int repairCommand(const repairSettings& wanted)
{
    if (platform::isTerminal(platform::standardOutput) && !wanted.force)
        return trouble("Die korrigierte Fassung wird auf die Standardausgabe geschrieben, nicht an ein Terminal: "
                       "umleiten (kavrin-check --repair alt.tzv > neu.tzv) oder --force angeben.");
    const bool fromStandardInput = wanted.file == standardInputArgument;
    const std::string shownName = fromStandardInput ? std::string(standardInputName) : terminalSafe(wanted.file);

    std::string bytes;
    bool cutShort = false;
    fileReport original;
    const int input = fromStandardInput ? platform::standardInput : platform::openToRead(wanted.file);
    if (input < 0) {
        original = reportOfFile(wanted.file);
    } else {
        // The shell empties a file before the program starts when its output
        // is sent there; reading it then would "repair" nothing into nothing.
        if (platform::sameFile(input, platform::standardOutput))
            return trouble("Eingabe und Ausgabe sind dieselbe Datei '" + shownName
                + "': die korrigierte Fassung an einen anderen Ort schreiben.");
        cutShort = platform::readAtMost(input, bytes, tzvParser::maximumFileSize + 1);
        if (!fromStandardInput)
            platform::closeFile(input);
        original = fromStandardInput ? reportOfBytes(wanted.file, bytes, cutShort ? tzvParser::unknownSize : 0)
                                     : reportOfFileBytes(wanted.file, bytes, cutShort ? tzvParser::unknownSize : 0);
    }
    const bool readWhole = input >= 0 && !cutShort && original.code != codes::cannotOpen;
    if (!readWhole) {
        // Nothing to repair from: the check says why, and no copy is written.
        if (!wanted.quiet)
            say(wanted.json ? jsonReport(original) + '\n' : humanReport(original, wanted.colour, wanted.width));
        return original.code == codes::cannotOpen ? exitTrouble : exitViolation;
    }

    const repairResult repaired = repairBytes(bytes);
    if (!platform::writeAll(platform::standardOutput, repaired.bytes))
        return trouble("Die Ausgabe ließ sich nicht schreiben: " + reasons::systemCause(errno));
    fileReport copy = reportOfBytes(std::string(copyName), repaired.bytes, 0, withExcerpt::yes, wanted.maxViolations);
    const std::size_t left = copy.valid ? 0 : std::max<std::size_t>(copy.violations.size(), 1);
    if (!wanted.quiet) {
        if (wanted.json) {
            say("{\"file\":" + jsonQuoted(wanted.file) + ",\"changes\":" + jsonChanges(repaired.changes)
                + ",\"repaired\":" + jsonReport(copy) + "}\n");
        } else {
            for (const repairChange& change : repaired.changes)
                say(changeLine(shownName, change));
            say(humanReport(copy, wanted.colour, wanted.width));
            say(repairSummaryText(repaired.changes.size(), left, repaired.leftOut) + '\n');
        }
    }
    return copy.valid ? exitCorrect : exitViolation;
}

} // namespace kavrin::cli
