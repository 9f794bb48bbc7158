#pragma once

#include <cstddef>
#include <string>

namespace kavrin::cli {

struct repairSettings {
    std::string file; // "-" for standard input
    bool json = false;
    bool quiet = false;
    bool force = false; // write to a terminal too
    bool colour = false; // on standard error
    std::size_t width = 100;
    std::size_t maxViolations = 1000;
};

// Writes the repaired copy of the file to standard output and the changes and
// what remains to standard error; the exit status: 0 when the copy is
// correct, 1 when violations remain, 2 when nothing could be read or written.
// The file itself is only read.
int repairCommand(const repairSettings& wanted);

} // namespace kavrin::cli
