#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace kavrin::bench {

inline constexpr std::size_t maximumFileSize = 4194304;

struct ticketFile {
    std::string name;
    std::string content;
};

// The benchmark's files: 1000 tickets each, the largest padded with white
// space and comments to exactly the 4 MiB limit.
std::vector<ticketFile> ticketFiles();

void writeTicketFiles(const std::filesystem::path& folder);

} // namespace kavrin::bench
