#include "fileSource.h"

#include "wideNames.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <windows.h>

namespace kavrin::fileSource {

opened openRegular(const std::string& path)
{
    const std::wstring name = system::wideName(path);
    if (name.empty() || name.find(L'\0') != std::wstring::npos)
        return { -1, 0, failure::notFound, ENOENT };
    // A folder cannot be opened as a file on Windows; it is named as one.
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return { -1, 0, failure::directory, EISDIR };
    // Binary: the reader does its own text mode, the same on every system.
    const int handle = ::_wopen(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (handle < 0) {
        const int error = errno;
        return { -1, 0,
            error == ENOENT       ? failure::notFound
                : error == EACCES ? failure::noPermission
                                  : failure::other,
            error };
    }
    struct _stat64 status { };
    if (::_fstat64(handle, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        const int error = errno;
        ::_close(handle);
        return { -1, 0, failure::notRegular, error };
    }
    return { handle, static_cast<std::uint64_t>(status.st_size), failure::none, 0 };
}

std::ptrdiff_t readSome(int descriptor, unsigned char* into, std::size_t want)
{
    return ::_read(descriptor, into, static_cast<unsigned>(want > INT_MAX ? INT_MAX : want));
}

void closeFile(int descriptor) { ::_close(descriptor); }

} // namespace kavrin::fileSource
