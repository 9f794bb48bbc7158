#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace kavrin::testing {

struct outcome {
    std::string message;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    bool operator==(const outcome&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const outcome& o)
{
    return out << '"' << o.message << "\" at " << o.line << ':' << o.column;
}

// A folder of its own under the system's temporary folder, removed at exit.
std::filesystem::path scratchFolder();

// Writes bytes to a fresh ".tzv" file in the scratch folder.
std::filesystem::path writeTicketFile(std::string_view bytes, std::string_view name = {});

// The bytes of a file, for tests that compare a file with its bytes.
std::string bytesOfFile(const std::filesystem::path& path);

outcome checkFile(const std::string& fileName, std::size_t bufferSize = 0);
outcome checkBytes(std::string_view bytes, std::size_t bufferSize = 0);

// A case written with one '^' where the violation must be reported: the mark
// is removed and its line and column become the expected place.
struct markedDocument {
    std::string bytes;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
};
markedDocument unmark(std::string_view withMark);

std::string positioned(std::uint32_t line, std::uint32_t column, std::string_view detail);

// Documents of each game with the given tickets.
std::string document47(std::string_view tickets, std::string_view header = {});
std::string document34(std::string_view tickets, std::string_view header = {});
std::string document28(std::string_view tickets, std::string_view header = {});

} // namespace kavrin::testing
