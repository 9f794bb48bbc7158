#pragma once

#include "excerptDisplay.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

// The argument that names standard input, and how the human form calls it.
inline constexpr std::string_view standardInputArgument = "-";
inline constexpr std::string_view standardInputName = "<stdin>";

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

fileReport checkOneFile(const std::string& argument);

// file:line:column: message, the reason, and the excerpt with a line-number
// gutter and a line of '^' under the marked part; red only when colour is on.
// A line wider than width columns is shown as a window around the mark.
std::string humanReport(const fileReport& report, bool colour, std::size_t width = 100);

// One JSON object on one line, without the line break.
std::string jsonReport(const fileReport& report);

} // namespace kavrin
