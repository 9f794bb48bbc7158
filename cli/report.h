#pragma once

#include "excerptDisplay.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kavrin {

// The outcome of one file as the window would show it.
struct fileReport {
    std::string file; // the argument as given
    bool valid = false;
    std::string message; // what the message pane shows
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::optional<excerptDisplay> excerpt;
};

fileReport checkOneFile(const std::string& argument);

// file:line:column: message, and the excerpt with a line-number gutter and a
// line of '^' under the marked part; red only when colour is on.
std::string humanReport(const fileReport& report, bool colour);

// One JSON object on one line, without the line break.
std::string jsonReport(const fileReport& report);

} // namespace kavrin
