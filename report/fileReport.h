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
    bool valid = false;
    std::string message; // what the message pane shows
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::string code; // empty for a correct file
    std::string reason;
    std::optional<excerptDisplay> excerpt;
};

fileReport reportOfFile(const std::string& name);
// The report of bytes in memory under a name of the caller's; wholeSize as
// tzvParser::checkBytes takes it.
fileReport reportOfBytes(std::string name, std::string_view bytes, std::uint64_t wholeSize = 0);
// The report of a file's name and bytes, read by the caller: the same record
// as reportOfFile gives for that name on disk.
fileReport reportOfFileBytes(const std::string& name, std::string_view bytes, std::uint64_t wholeSize = 0);
// The report of a file whose name is known but whose bytes could not be read.
fileReport reportOfUnreadable(const std::string& name);

// The record of kavrin-check --json: one JSON object on one line, without the
// line break.
std::string jsonReport(const fileReport& report);

} // namespace kavrin
