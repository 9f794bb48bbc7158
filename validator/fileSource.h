#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where a check's bytes come from when they are a file or standard input:
// the one place that reads them, once. Only the small calls below know the
// operating system (fileSource{Posix,Windows}.cpp); a name is UTF-8 on every
// system.
namespace kavrin::fileSource {

enum class failure { none, notFound, noPermission, directory, notRegular, readError, unreadable, other };

struct loaded {
    // Everything read: the whole file, or for a stream no more than one byte
    // past the limit.
    std::unique_ptr<char[]> bytes;
    std::size_t length = 0;
    // The file's size as the system gave it when it was opened; for a stream,
    // the bytes read, or unknownSize when there were more than the limit.
    std::uint64_t size = 0;
    failure problem = failure::none;
    int error = 0; // errno of the failure
};

inline constexpr std::uint64_t unknownSize = UINT64_MAX;

// Reads the named regular file once. Anything but a regular file (a
// directory, a device, a FIFO, a socket) is refused before a byte is read,
// without waiting. A file larger than maxBytes is not read at all, and no
// read goes past the size the file had when it was opened, so that a file
// growing meanwhile cannot make a check read on. A file whose size the
// system gives as 0 (as /proc does) is read as a stream. A read error is a
// failure, never the end of the input.
loaded load(const std::string& path, std::uint64_t maxBytes);
// Reads standard input up to one byte past maxBytes.
loaded loadStandardInput(std::uint64_t maxBytes);

// The system's part.
struct opened {
    int descriptor = -1; // -1 when the open failed
    std::uint64_t size = 0;
    failure problem = failure::none;
    int error = 0;
};
opened openRegular(const std::string& path);
// Bytes read, 0 at the end, negative on an error (errno tells which).
std::ptrdiff_t readSome(int descriptor, unsigned char* into, std::size_t want);
void closeFile(int descriptor);
inline constexpr int standardInput = 0;

} // namespace kavrin::fileSource
