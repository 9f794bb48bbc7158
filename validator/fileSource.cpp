#include "fileSource.h"

#include <algorithm>
#include <cerrno>

namespace kavrin::fileSource {

namespace {

    // Reads up to want bytes into into; how many, or the errno of a failed
    // read as a negative number.
    std::ptrdiff_t readInto(int descriptor, char* into, std::size_t want)
    {
        std::size_t got = 0;
        while (got < want) {
            const std::ptrdiff_t n = readSome(descriptor, reinterpret_cast<unsigned char*>(into + got), want - got);
            if (n < 0)
                return errno != 0 ? -errno : -EIO;
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return static_cast<std::ptrdiff_t>(got);
    }

    loaded failed(int error) { return { nullptr, 0, 0, failure::readError, error }; }

    loaded readStream(int descriptor, std::uint64_t maxBytes)
    {
        // The size is not known: read in steps, then keep what came.
        constexpr std::size_t step = 64 * 1024;
        std::string whole;
        while (whole.size() <= maxBytes) {
            const std::size_t had = whole.size();
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(step, maxBytes + 1 - had));
            whole.resize(had + want);
            const std::ptrdiff_t got = readInto(descriptor, whole.data() + had, want);
            if (got < 0)
                return failed(static_cast<int>(-got));
            whole.resize(had + static_cast<std::size_t>(got));
            if (static_cast<std::size_t>(got) < want)
                break;
        }
        loaded out;
        out.bytes.reset(new char[whole.size()]);
        std::copy(whole.begin(), whole.end(), out.bytes.get());
        out.length = whole.size();
        out.size = out.length > maxBytes ? unknownSize : out.length;
        return out;
    }

} // namespace

loaded load(const std::string& path, std::uint64_t maxBytes)
{
    const opened file = openRegular(path);
    if (file.descriptor < 0)
        return { nullptr, 0, 0, file.problem, file.error };
    loaded out;
    if (file.size == 0) {
        out = readStream(file.descriptor, maxBytes);
    } else if (file.size <= maxBytes) {
        // Read where it will stay, once; a file that shrank meanwhile gives
        // what it still has.
        out.bytes.reset(new char[static_cast<std::size_t>(file.size)]);
        const std::ptrdiff_t got = readInto(file.descriptor, out.bytes.get(), static_cast<std::size_t>(file.size));
        if (got < 0)
            out = failed(static_cast<int>(-got));
        else
            out.length = out.size = static_cast<std::size_t>(got);
    } else {
        out.size = file.size;
    }
    closeFile(file.descriptor);
    return out;
}

loaded loadStandardInput(std::uint64_t maxBytes) { return readStream(standardInput, maxBytes); }

} // namespace kavrin::fileSource
