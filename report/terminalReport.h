#pragma once

#include "fileReport.h"

#include <string>
#include <string_view>

namespace kavrin {

// The argument that names standard input, and how the human form calls it.
inline constexpr std::string_view standardInputArgument = "-";
inline constexpr std::string_view standardInputName = "<stdin>";

// file:line:column: message, the reason, and the excerpt with a line-number
// gutter and a line of '^' under the marked part; red only when colour is on.
// A line wider than width columns is shown as a window around the mark.
// A correct file's line is followed by what it holds; with every violation
// asked for, each follows as a diagnostic of its own.
void writeHumanReport(const fileReport& report, bool colour, std::size_t width, const textSink& out);
std::string humanReport(const fileReport& report, bool colour, std::size_t width = 100);

} // namespace kavrin
