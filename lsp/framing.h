#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin::lsp {

// Cuts the byte stream of the base protocol into message bodies: a header
// block with Content-Length, a blank line, the body. Nothing grows without
// bound: a header block longer than maxHeader is dropped, and a body longer
// than maxBody is skipped as it arrives without being kept.
class messageReader {
public:
    static constexpr std::size_t maxHeader = 8 * 1024;
    static constexpr std::size_t maxBody = 64 * 1024 * 1024;

    enum class problem { none, badHeader, tooLarge };

    void feed(std::string_view bytes);
    // The next whole body, if there is one. A problem met on the way is
    // reported once through takeProblem().
    std::optional<std::string> next();
    problem takeProblem();

private:
    std::string buffer;
    std::size_t bodyLength = 0;
    std::size_t searched = 0; // where the search for the header's end goes on
    bool inBody = false;
    std::size_t skipping = 0; // bytes of an oversized body still to drop
    problem pending = problem::none;
};

// A body framed for sending.
std::string framed(std::string_view body);

} // namespace kavrin::lsp
