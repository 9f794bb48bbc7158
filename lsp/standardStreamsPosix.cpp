#include "standardStreams.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace kavrin::lsp::streams {

void prepare() { std::signal(SIGPIPE, SIG_IGN); }

// A signal ends the wait early, as a timeout does: the caller looks again.
int waitForInput(int timeoutMs)
{
    pollfd input { STDIN_FILENO, POLLIN, 0 };
    const int ready = ::poll(&input, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    return ready > 0 ? 1 : 0;
}

std::ptrdiff_t readInput(char* into, std::size_t size)
{
    ssize_t got;
    do
        got = ::read(STDIN_FILENO, into, size);
    while (got < 0 && errno == EINTR);
    return got;
}

} // namespace kavrin::lsp::streams
