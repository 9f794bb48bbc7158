#include "standardStreams.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace kavrin::lsp::streams {

namespace {

    constexpr int standardInput = 0;
    constexpr int standardOutput = 1;
    // A pipe cannot be waited on with a timeout; it is looked at this often.
    constexpr DWORD lookEvery = 2;

} // namespace

void prepare()
{
    ::_setmode(standardInput, _O_BINARY);
    ::_setmode(standardOutput, _O_BINARY);
}

int waitForInput(int timeoutMs)
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    // A file or a console as input: reading decides.
    if (::GetFileType(input) != FILE_TYPE_PIPE)
        return 1;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr))
            // A closed pipe: the read sees the end. A pipe that cannot be
            // looked into (a Unix pipe under Wine): only a wait without end
            // reads, so that what is queued or due is never held back by a
            // read that blocks.
            return ::GetLastError() == ERROR_BROKEN_PIPE || timeoutMs < 0 ? 1 : 0;
        if (available > 0)
            return 1;
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= until)
            return 0;
        ::Sleep(lookEvery);
    }
}

std::ptrdiff_t readInput(char* into, std::size_t size)
{
    return ::_read(standardInput, into, unsigned(std::min<std::size_t>(size, INT_MAX)));
}

} // namespace kavrin::lsp::streams
