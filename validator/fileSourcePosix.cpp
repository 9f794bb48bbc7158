#include "fileSource.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrin::fileSource {

opened openRegular(const std::string& path)
{
    // O_NONBLOCK keeps the open of a FIFO without writer from waiting.
    const int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0) {
        const int error = errno;
        return { -1, 0,
            error == ENOENT || error == ENOTDIR     ? failure::notFound
                : error == EACCES || error == EPERM ? failure::noPermission
                : error == EISDIR                   ? failure::directory
                                                    : failure::other,
            error };
    }
    struct stat status { };
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = errno;
        ::close(handle);
        return { -1, 0, S_ISDIR(status.st_mode) ? failure::directory : failure::notRegular, error };
    }
    return { handle, static_cast<std::uint64_t>(status.st_size), failure::none, 0 };
}

std::ptrdiff_t readSome(int descriptor, unsigned char* into, std::size_t want)
{
    for (;;) {
        const ssize_t got = ::read(descriptor, into, want);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        // Standard input may have been left non-blocking by whoever started
        // us: wait for it as a blocking read would.
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return got;
        pollfd wait { descriptor, POLLIN, 0 };
        ::poll(&wait, 1, -1);
    }
}

void closeFile(int descriptor) { ::close(descriptor); }

} // namespace kavrin::fileSource
