#include "framing.h"

#include "utf8.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kavrin::lsp {

namespace {

    constexpr std::string_view lengthField = "content-length:";
    // A buffer this much larger than its content after a huge message is
    // given back, so that memory returns to its usual size.
    constexpr std::size_t keptCapacity = 1024 * 1024;

    // The value of a Content-Length field: decimal digits only.
    std::optional<std::size_t> lengthValue(std::string_view value)
    {
        value = utf8::trimmed(value, " \t");
        std::size_t parsed = 0;
        const auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
        if (value.empty() || error != std::errc() || rest != value.data() + value.size())
            return std::nullopt;
        return parsed;
    }

} // namespace

void messageReader::feed(std::string_view bytes)
{
    if (skipping > 0) {
        const std::size_t dropped = std::min(skipping, bytes.size());
        skipping -= dropped;
        bytes.remove_prefix(dropped);
    }
    buffer.append(bytes);
}

// Reads the header block at the start of the buffer line by line: every line
// must end in CR LF and be a field "Name: value"; exactly the Content-Length
// field is read.
messageReader::header messageReader::readHeader(std::size_t& length, std::size_t& headerBytes) const
{
    std::optional<std::size_t> found;
    for (std::size_t at = 0;;) {
        const std::size_t lineEnd = buffer.find('\n', at);
        if (lineEnd == std::string::npos)
            return buffer.size() > maxHeader ? header::malformed : header::incomplete;
        if (lineEnd > maxHeader || lineEnd == at || buffer[lineEnd - 1] != '\r')
            return header::malformed;
        const std::string_view line(buffer.data() + at, lineEnd - 1 - at);
        at = lineEnd + 1;
        if (line.empty()) {
            if (!found)
                return header::malformed;
            length = *found;
            headerBytes = at;
            return header::complete;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || line.find('\r') != std::string_view::npos)
            return header::malformed;
        if (utf8::equalIgnoringAsciiCase(line.substr(0, colon + 1), lengthField)) {
            found = lengthValue(line.substr(colon + 1));
            if (!found)
                return header::malformed;
        }
    }
}

// Drops bytes up to the next field that may open a header block; keeps a
// tail that may hold its beginning. True when one was found.
bool messageReader::resynchronise()
{
    const std::size_t again = utf8::findIgnoringAsciiCase(buffer, lengthField, 1);
    if (again == std::string::npos) {
        if (buffer.size() >= lengthField.size())
            buffer.erase(0, buffer.size() - lengthField.size() + 1);
        return false;
    }
    buffer.erase(0, again);
    return true;
}

std::optional<std::string> messageReader::next()
{
    for (;;) {
        if (skipping > 0) {
            const std::size_t dropped = std::min(skipping, buffer.size());
            skipping -= dropped;
            buffer.erase(0, dropped);
            if (skipping > 0)
                return std::nullopt;
        }
        if (inBody) {
            if (buffer.size() < bodyLength)
                return std::nullopt;
            std::string body = buffer.substr(0, bodyLength);
            buffer.erase(0, bodyLength);
            inBody = false;
            if (buffer.capacity() > keptCapacity && buffer.size() < keptCapacity / 2)
                buffer.shrink_to_fit();
            return body;
        }
        if (resyncing) {
            if (!resynchronise())
                return std::nullopt;
            resyncing = false;
        }
        std::size_t length = 0;
        std::size_t headerBytes = 0;
        switch (readHeader(length, headerBytes)) {
        case header::incomplete:
            return std::nullopt;
        case header::malformed:
            pending = problem::badHeader;
            resyncing = true;
            continue;
        case header::complete:
            break;
        }
        buffer.erase(0, headerBytes);
        if (length > maxBody) {
            pending = problem::tooLarge;
            skipping = length;
            continue;
        }
        bodyLength = length;
        inBody = true;
    }
}

messageReader::problem messageReader::takeProblem() { return std::exchange(pending, problem::none); }

std::string framed(std::string_view body)
{
    std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    out.append(body);
    return out;
}

} // namespace kavrin::lsp
