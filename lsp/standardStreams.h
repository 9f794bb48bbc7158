#pragma once

#include "output.h"

#include <cstddef>
#include <string_view>

// kavrin-lsp's standard input and output, one file per system.
namespace kavrin::lsp::streams {

// Binary streams; a client that goes away shows as a failed write, not as a
// signal.
void prepare();
// Waits at most timeoutMs (-1: without end) for input: 1 when some is there
// or the input has ended, 0 when the time ran out (at once for a pipe that
// cannot be looked into), -1 on an error.
int waitForInput(int timeoutMs);
// Bytes read, 0 at the end of the input, negative on an error.
std::ptrdiff_t readInput(char* into, std::size_t size);
// Writes all of it, or reports that the client has gone.
inline bool writeOutput(std::string_view bytes)
{
    constexpr int standardOutput = 1;
    return system::writeAll(standardOutput, bytes);
}

} // namespace kavrin::lsp::streams
