#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace kavrin::fuzzing {

// The checker reads files by name: each input becomes one file of this process.
inline const std::string& writeInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path
        = (std::filesystem::temp_directory_path() / ("kavrin-fuzz-" + std::to_string(::getpid()) + ".tzv")).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// A broken promise must stop the run where the sanitizers and the fuzzer see it.
inline void require(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace kavrin::fuzzing
