#pragma once

#include "output.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What kavrin-check needs of the operating system, one file per system: the
// arguments, the standard streams and the terminal. Files are read by the
// check's own file layer.
namespace kavrin::cli::platform {

inline constexpr int standardInput = 0;
inline constexpr int standardOutput = 1;
inline constexpr int standardError = 2;

// The program's arguments as UTF-8, the program's name first.
std::vector<std::string> arguments(int argc, char** argv);
// argv for getopt over texts, which must outlive it: their pointers and a
// null one.
inline std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}
// Windows' shells hand '*' and '?' to the program: each file named with them
// becomes the names that match in its folder, sorted. Elsewhere the shell has
// done it. A pattern that matches nothing gives the problem to report.
std::optional<std::string> expandPatterns(std::vector<std::string>& files);
// Standard input and output carry bytes unchanged; a console shows UTF-8.
void prepareStreams();

bool isTerminal(int descriptor);
// The terminal's width in columns; 0 when it is not known.
std::size_t terminalWidth(int descriptor);
// Whether a terminal shows ANSI colour; on a console that can, it is turned
// on.
bool showsColour(int descriptor);

using system::writeAll;

// The named file is the regular file the descriptor writes to.
bool sameFile(const std::string& path, int descriptor);

} // namespace kavrin::cli::platform
