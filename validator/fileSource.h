#pragma once

#include "textReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Where the reader's bytes come from when they are a file: the one place
// that knows the operating system's calls. A file is a descriptor; its name
// is UTF-8 on every system.
namespace kavrin::fileSource {

struct opened {
    int descriptor = -1; // -1 when the open failed
    std::uint64_t size = 0;
    textReader::openFailure failure = textReader::openFailure::none;
    int error = 0; // errno of the failure
};

// Opens a regular file for reading without waiting (a FIFO without a writer
// would wait) and in binary; anything but a regular file is refused before
// a byte is read.
opened openRegular(const std::string& path);
bool seekTo(int descriptor, std::uint64_t offset);
// Bytes read, 0 at the end, negative on an error.
std::ptrdiff_t readSome(int descriptor, unsigned char* into, std::size_t want);
void closeFile(int descriptor);

} // namespace kavrin::fileSource
