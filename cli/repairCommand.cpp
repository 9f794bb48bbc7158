#include "repairCommand.h"

#include "checker.h"
#include "codes.h"
#include "reasons.h"
#include "repair.h"
#include "resultText.h"
#include "terminalReport.h"
#include "utf8.h"

#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <optional>

namespace kavrin::cli {

namespace {

    constexpr int exitCorrect = 0;
    constexpr int exitViolation = 1;
    constexpr int exitTrouble = 2;

    // How the diagnostics name the repaired copy: it has no name of its own.
    constexpr std::string_view copyName = "<korrigierte Fassung>";
    constexpr std::string_view repairedLabel = " korrigiert: ";
    constexpr std::string_view notRepairedLabel = " nicht korrigierbar: ";
    constexpr std::string_view saveUnderBefore = "Die korrigierte Fassung unter einem Namen wie „";
    constexpr std::string_view saveUnderAfter = "“ speichern.";

    // False when standard error took less than the whole text.
    bool say(std::string_view text) { return std::fwrite(text.data(), 1, text.size(), stderr) == text.size(); }

    int trouble(const std::string& problem)
    {
        say("kavrin-check: " + problem + "\n");
        return exitTrouble;
    }

    // A line a change, as a compiler lists its notes. Standard error is not
    // buffered: the lines are written at once, not in a write each.
    std::string changeLines(const std::string& shownName, const std::vector<repairChange>& changes)
    {
        std::string lines;
        for (const repairChange& change : changes) {
            lines += shownName;
            if (change.line != 0)
                lines.append(":").append(std::to_string(change.line)).append(":").append(std::to_string(change.column));
            lines.append(":").append(repairedLabel).append(changeWhat(change));
            if (!change.code.empty())
                lines.append(" [").append(change.code).append("]");
            lines += '\n';
        }
        return lines;
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

    // The name's rule is no fault of the bytes: they are repaired all the
    // same, and the name is said apart.
    std::string openedName = wanted.file;
    const std::optional<violation> nameFault = fromStandardInput ? std::nullopt : detail::faultOfName(openedName);
    // The shell empties a file before the program starts when its output is
    // sent there; reading it then would "repair" nothing into nothing.
    if (!fromStandardInput && platform::sameFile(openedName, platform::standardOutput))
        return trouble("Eingabe und Ausgabe sind dieselbe Datei '" + shownName
            + "': die korrigierte Fassung an einen anderen Ort schreiben.");
    source what = fromStandardInput ? source::standardInput() : source::file(openedName);
    what.nameRules = false;
    // The repair checks the bytes itself: here they are only read.
    const fileReport original = readingOf(wanted.file, what);
    const violation* first = original.checked.first();
    if (first != nullptr && (first->code == codes::cannotOpen || first->code == codes::fileTooLarge)) {
        // Nothing to repair from: the check says why, and no copy is written.
        if (!wanted.quiet)
            say(wanted.json ? jsonReport(original) + '\n' : humanReport(original, wanted.colour, wanted.width));
        return exitTrouble;
    }

    const repairResult repaired = repairBytes(original.checked.input.view());
    if (!platform::writeAll(platform::standardOutput, repaired.bytes))
        return trouble("Die Ausgabe ließ sich nicht schreiben: " + reasons::writeCause(errno));
    const fileReport copy = reportOf(std::string(copyName), source::bytes(repaired.bytes), wanted.maxViolations);
    const std::size_t left = copy.checked.violations.size();
    const std::string betterName = nameFault ? repairedName(utf8::baseName(openedName)) : std::string();
    if (wanted.quiet)
        return copy.valid() && !nameFault ? exitCorrect : exitViolation;
    std::string report;
    if (wanted.json) {
        // A wrong name is said after the copy's record, so that the record
        // of a well-named file stays as it was.
        std::string name;
        if (nameFault)
            name = ",\"name\":{\"code\":" + jsonQuoted(nameFault->code)
                + ",\"message\":" + jsonQuoted(nameFault->message) + ",\"reason\":" + jsonQuoted(nameFault->reason)
                + ",\"suggested\":" + jsonQuoted(betterName) + "}";
        report = "{\"file\":" + jsonQuoted(wanted.file) + ",\"changes\":" + jsonChanges(repaired.changes)
            + ",\"repaired\":" + jsonReport(copy) + name + "}\n";
    } else {
        report = changeLines(shownName, repaired.changes);
        if (nameFault)
            report += shownName + ":" + std::string(notRepairedLabel) + nameFault->message + " ["
                + std::string(nameFault->code) + "]\n  " + std::string(reasonLabel) + nameFault->reason + "\n  "
                + std::string(saveUnderBefore) + terminalSafe(betterName) + std::string(saveUnderAfter) + "\n";
        report += humanReport(copy, wanted.colour, wanted.width)
            + repairSummaryText(repaired.changes.size(), left, repaired.leftOut, copy.checked.violationsCut) + '\n';
    }
    // The changes are the report of what was done: lost, the call failed.
    if (!say(report))
        return exitTrouble;
    return copy.valid() && !nameFault ? exitCorrect : exitViolation;
}

} // namespace kavrin::cli
