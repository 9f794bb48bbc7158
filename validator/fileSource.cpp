#include "fileSource.h"

#include <algorithm>
#include <cerrno>

namespace kavrin::fileSource {

namespace {

    // Appends up to want bytes to into; the errno of a failed read, or 0.
    int readUpTo(int descriptor, std::uint64_t want, std::string& into)
    {
        constexpr std::size_t step = 64 * 1024;
        while (want > 0) {
            const std::size_t had = into.size();
            const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(want, step));
            into.resize(had + chunk);
            const std::ptrdiff_t got = readSome(descriptor, reinterpret_cast<unsigned char*>(into.data() + had), chunk);
            if (got < 0) {
                const int error = errno;
                into.resize(had);
                return error != 0 ? error : EIO;
            }
            into.resize(had + static_cast<std::size_t>(got));
            if (got == 0)
                break;
            want -= static_cast<std::uint64_t>(got);
        }
        return 0;
    }

    loaded readStream(int descriptor, std::uint64_t maxBytes)
    {
        loaded out;
        if (const int error = readUpTo(descriptor, maxBytes + 1, out.bytes)) {
            out.problem = failure::readError;
            out.error = error;
            out.bytes.clear();
            return out;
        }
        out.size = out.bytes.size() > maxBytes ? unknownSize : out.bytes.size();
        return out;
    }

} // namespace

loaded load(const std::string& path, std::uint64_t maxBytes)
{
    const opened file = openRegular(path);
    if (file.descriptor < 0)
        return { {}, 0, file.problem, file.error };
    loaded out;
    if (file.size == 0) {
        out = readStream(file.descriptor, maxBytes);
    } else if (file.size <= maxBytes) {
        out.size = file.size;
        out.bytes.reserve(static_cast<std::size_t>(file.size));
        if (const int error = readUpTo(file.descriptor, file.size, out.bytes)) {
            out = { {}, 0, failure::readError, error };
        }
    } else {
        out.size = file.size;
    }
    closeFile(file.descriptor);
    return out;
}

loaded loadStandardInput(std::uint64_t maxBytes) { return readStream(standardInput, maxBytes); }

} // namespace kavrin::fileSource
