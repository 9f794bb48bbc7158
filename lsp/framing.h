#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin::lsp {

// Cuts the byte stream of the base protocol into message bodies: header
// lines ending in CR LF, one of them Content-Length, a blank line, the body.
// Nothing grows without bound: a header block longer than maxHeader is
// refused, and a body longer than maxBody is skipped as it arrives without
// being kept. After a malformed header block the reader drops bytes up to the
// next "Content-Length:", so one bad message never loses the ones after it.
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
    enum class header { incomplete, malformed, complete };
    header readHeader(std::size_t& length, std::size_t& headerBytes) const;
    bool resynchronise();

    std::string buffer;
    std::size_t bodyLength = 0;
    bool inBody = false;
    bool resyncing = false; // looking for the next Content-Length field
    std::size_t skipping = 0; // bytes of an oversized body still to drop
    problem pending = problem::none;
};

// A body framed for sending.
std::string framed(std::string_view body);

} // namespace kavrin::lsp
