#include "framing.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kavrin::lsp {

namespace {

    constexpr std::string_view headerEnd = "\r\n\r\n";
    constexpr std::string_view lengthField = "content-length:";

    bool sameIgnoringCase(std::string_view a, std::string_view b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
            return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == y;
        });
    }

    // The Content-Length of a header block, or nothing when it has none or a
    // malformed one. Other fields are ignored.
    std::optional<std::size_t> contentLength(std::string_view header)
    {
        std::optional<std::size_t> length;
        while (!header.empty()) {
            const std::size_t end = header.find("\r\n");
            const std::string_view field = header.substr(0, end);
            header = end == std::string_view::npos ? std::string_view {} : header.substr(end + 2);
            if (field.size() < lengthField.size()
                || !sameIgnoringCase(field.substr(0, lengthField.size()), lengthField))
                continue;
            std::string_view value = field.substr(lengthField.size());
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
                value.remove_prefix(1);
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
                value.remove_suffix(1);
            std::size_t parsed = 0;
            const auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
            if (error != std::errc() || rest != value.data() + value.size() || value.empty())
                return std::nullopt;
            length = parsed;
        }
        return length;
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
            return body;
        }
        // The search goes on where the last one stopped, less the bytes that
        // may begin the blank line.
        const std::size_t end = buffer.find(headerEnd, searched);
        searched = buffer.size() < headerEnd.size() ? 0 : buffer.size() - headerEnd.size() + 1;
        if (end == std::string::npos) {
            if (buffer.size() > maxHeader) {
                // No header ends here: start again at the next field that
                // could open one, keeping a tail that may hold its beginning.
                pending = problem::badHeader;
                const std::size_t again = buffer.find("Content-Length", 1);
                buffer.erase(0, again == std::string::npos ? buffer.size() - lengthField.size() : again);
                searched = 0;
            }
            return std::nullopt;
        }
        const std::optional<std::size_t> length
            = end <= maxHeader ? contentLength(buffer.substr(0, end)) : std::nullopt;
        buffer.erase(0, end + headerEnd.size());
        searched = 0;
        if (!length) {
            pending = problem::badHeader;
            continue;
        }
        if (*length > maxBody) {
            pending = problem::tooLarge;
            skipping = *length;
            continue;
        }
        bodyLength = *length;
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
