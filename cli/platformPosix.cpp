#include "platform.h"

#include <cerrno>
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

bool sameFile(const std::string& path, int descriptor)
{
    struct stat a { };
    struct stat b { };
    return ::stat(path.c_str(), &a) == 0 && ::fstat(descriptor, &b) == 0 && S_ISREG(b.st_mode) && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

} // namespace kavrin::cli::platform
