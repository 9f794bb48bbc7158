#pragma once

#include "excerptDisplay.h"
#include "tzvParser.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

// One violation as a front end shows it.
struct violationReport {
    std::string message;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::string code;
    std::string reason;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::optional<excerptDisplay> excerpt;
};

// The outcome of one file as the window would show it.
struct fileReport {
    std::string file; // the argument as given
    std::string openedName; // the name the check opened: without its quotes
    bool valid = false;
    std::string message; // what the message pane shows
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::string code; // empty for a correct file
    std::string reason;
    // Where the place stands in the input and how many bytes the marked
    // part covers, as kavrin::violation has them.
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::optional<excerptDisplay> excerpt;
    // When more than the first violation was asked for: all that were found,
    // the first being the fields above, and whether there were more still.
    std::vector<violationReport> violations;
    bool violationsCut = false;
    // What a correct file holds.
    std::optional<fileSummary> summary;
};

// A front end that shows no excerpt (the language server) need not have it
// read.
enum class withExcerpt { yes, no };

// maxViolations as tzvParser has it: 1 for the first violation only.
fileReport reportOfFile(const std::string& name, withExcerpt excerpt = withExcerpt::yes, std::size_t maxViolations = 1);
// The report of bytes in memory under a name of the caller's; wholeSize as
// tzvParser::checkBytes takes it.
fileReport reportOfBytes(std::string name, std::string_view bytes, std::uint64_t wholeSize = 0,
    withExcerpt excerpt = withExcerpt::yes, std::size_t maxViolations = 1);
// The report of a file's name and bytes, read by the caller: the same record
// as reportOfFile gives for that name on disk.
fileReport reportOfFileBytes(
    const std::string& name, std::string_view bytes, std::uint64_t wholeSize = 0, std::size_t maxViolations = 1);

// One of a file's violations as a report of its own, for a front end that
// shows every violation as it shows the first.
fileReport reportOfViolation(const fileReport& whole, const violationReport& found);

// What a correct file holds, in one German line: "12 Scheine, 72 Tipps,
// Spielart 47 (6 aus 45), Version 4.0".
std::string summaryText(const fileSummary& summary);
// The report of a file whose name is known but whose bytes could not be read.
fileReport reportOfUnreadable(const std::string& name);

// The record of kavrin-check --json: one JSON object on one line, without the
// line break.
std::string jsonReport(const fileReport& report);

// A text as a JSON string, quotes included, valid UTF-8.
std::string jsonQuoted(std::string_view text);

// "… und weitere Verstöße; Grenze 1000 erreicht"
std::string moreViolationsText(std::size_t limit);
// "3 Verstöße in 1 Datei"
std::string violationCountText(std::size_t violations, std::size_t files);

} // namespace kavrin
