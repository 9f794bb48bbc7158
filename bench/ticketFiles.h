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

// Files of exactly 4 MiB (the UTF-16 one as its bytes) that a repair makes
// correct: the first 255 tips each with a name in another spelling; and
// broken in every tip: numbers out of order, names in 255 spellings, values
// over lines, all of it at once, Windows-1252, UTF-16.
std::vector<ticketFile> repairFiles();

void writeTicketFiles(const std::filesystem::path& folder);

} // namespace kavrin::bench
