#pragma once

#include "excerptDisplay.h"
#include "kavrin.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

// The outcome of one file as every front end shows it: the check's result,
// read once with the bytes it read, and the name as the user gave it.
struct fileReport {
    std::string file; // the argument as given
    result checked;
    // More than the first violation was asked for.
    bool everyViolation = false;

    bool valid() const { return checked.valid(); }
    // What the message pane shows: the success text, or the first
    // violation's message without its line feeds.
    std::string message() const;
};

// Checks what and keeps its bytes for the excerpts; maxViolations as
// kavrin::options has it, 1 for the first violation only.
fileReport reportOf(std::string file, const source& what, std::size_t maxViolations = 1);
// Reads what by the rules of the name, of opening and of the size alone,
// for a front end that repairs the bytes.
fileReport readingOf(std::string file, const source& what);

// The lines around the index-th violation, made when they are shown; none
// for a violation without a place. The first is whole, as the window and
// the first diagnostic have always shown it; a later one reaches no further
// than errorExcerpt::nearReach around its place, so that many violations on
// one long line cost no more than as many short excerpts.
std::optional<excerptDisplay> excerptOf(const fileReport& report, std::size_t index);

// What a correct file holds, in one German line: "12 Scheine, 72 Tipps,
// Spielart 47 (6 aus 45), Version 4.0".
std::string summaryText(const fileSummary& summary);

// Where a report's text goes, piece by piece, so that no front end holds the
// text of every violation at once.
using textSink = std::function<void(std::string_view)>;

// The record of kavrin-check --json: one JSON object on one line, without
// the line break; with more than the first violation asked for, every
// violation in a list.
// excerpts makes the excerpt of the index-th violation as it is written
// (excerptOf when it is empty): the page cuts long lines there.
using excerptMaker = std::function<std::optional<excerptDisplay>(std::size_t index)>;
void writeJsonReport(const fileReport& report, const textSink& out, const excerptMaker& excerpts = {});
std::string jsonReport(const fileReport& report);

// A text as a JSON string, quotes included, valid UTF-8.
std::string jsonQuoted(std::string_view text);

// "… und weitere Verstöße; Grenze 1000 erreicht"
std::string moreViolationsText(std::size_t limit);
// "3 Verstöße in 1 Datei"
std::string violationCountText(std::size_t violations, std::size_t files);

} // namespace kavrin
