#include "platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrin::cli::platform {

std::vector<std::string> arguments(int argc, char** argv) { return { argv, argv + argc }; }

std::optional<std::string> expandPatterns(std::vector<std::string>&) { return std::nullopt; }

void prepareStreams() { }

bool isTerminal(int descriptor) { return ::isatty(descriptor) != 0; }

std::size_t terminalWidth(int descriptor)
{
    winsize size {};
    if (::ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 0;
}

bool showsColour(int descriptor) { return isTerminal(descriptor); }

bool readAtMost(int descriptor, std::string& into, std::size_t limit)
{
    into.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(descriptor, into.data() + got, limit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    into.resize(got);
    return got == limit;
}

int openToRead(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status { };
    if (descriptor >= 0 && (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode))) {
        ::close(descriptor);
        return -1;
    }
    // Opened without waiting for a writer; reading waits as a check does.
    if (descriptor >= 0)
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

void closeFile(int descriptor) { ::close(descriptor); }

bool sameFile(int first, int second)
{
    struct stat a { };
    struct stat b { };
    return ::fstat(first, &a) == 0 && ::fstat(second, &b) == 0 && S_ISREG(b.st_mode) && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

} // namespace kavrin::cli::platform
