#include "platform.h"

#include <cerrno>
#include <clocale>
#include <cwchar>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrin::cli::platform {

std::vector<std::string> arguments(int argc, char** argv) { return { argv, argv + argc }; }

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

std::size_t columnsOf(char32_t c)
{
    static const bool utf8Locale = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    if (!utf8Locale)
        return 1;
    const int width = ::wcwidth(static_cast<wchar_t>(c));
    return width < 0 ? 1 : static_cast<std::size_t>(width);
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(descriptor, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool sameFile(const std::string& path, int descriptor)
{
    struct stat a { };
    struct stat b { };
    return ::stat(path.c_str(), &a) == 0 && ::fstat(descriptor, &b) == 0 && S_ISREG(b.st_mode) && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

} // namespace kavrin::cli::platform
