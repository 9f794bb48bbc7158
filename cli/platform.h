#pragma once

#include "output.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What kavrin-check needs of the operating system, one file per system: the
// arguments, the standard streams, the terminal, and reading a file whole.
namespace kavrin::cli::platform {

inline constexpr int standardInput = 0;
inline constexpr int standardOutput = 1;
inline constexpr int standardError = 2;

// The program's arguments as UTF-8, the program's name first.
std::vector<std::string> arguments(int argc, char** argv);
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

// Reads at most limit bytes; true when the input went on beyond them. A read
// error ends the input, as it does for a file.
bool readAtMost(int descriptor, std::string& into, std::size_t limit);
using system::writeAll;

// Opens a file for reading in binary without waiting for a FIFO's writer;
// -1 when it cannot be opened or is a folder.
int openToRead(const std::string& path);
void closeFile(int descriptor);
// Both are the same regular file.
bool sameFile(int first, int second);

} // namespace kavrin::cli::platform
