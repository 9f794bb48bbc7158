#pragma once

#include "excerptDisplay.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

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
};

// A front end that shows no excerpt (the language server) need not have it
// read.
enum class withExcerpt { yes, no };

fileReport reportOfFile(const std::string& name, withExcerpt excerpt = withExcerpt::yes);
// The report of bytes in memory under a name of the caller's; wholeSize as
// tzvParser::checkBytes takes it.
fileReport reportOfBytes(
    std::string name, std::string_view bytes, std::uint64_t wholeSize = 0, withExcerpt excerpt = withExcerpt::yes);
// The report of a file's name and bytes, read by the caller: the same record
// as reportOfFile gives for that name on disk.
fileReport reportOfFileBytes(const std::string& name, std::string_view bytes, std::uint64_t wholeSize = 0);
// The report of a file whose name is known but whose bytes could not be read.
fileReport reportOfUnreadable(const std::string& name);

// The record of kavrin-check --json: one JSON object on one line, without the
// line break.
std::string jsonReport(const fileReport& report);

} // namespace kavrin
