#include "resultText.h"

#include <algorithm>

namespace kavrin {

std::string windowTitle(std::string_view nameText)
{
    const std::size_t slash = nameText.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? nameText : nameText.substr(slash + 1);
    std::string title(titlePrefix);
    title.append(base);
    return title;
}

namespace {

    // Length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
    std::size_t wellFormedLength(std::string_view text, std::size_t i)
    {
        const auto at = [&text](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
        const unsigned char lead = at(i);
        if (lead < 0x80)
            return 1;
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return 0;
        }
        for (std::size_t k = 1; k < length; ++k, low = 0x80, high = 0xBF)
            if (at(i + k) < low || at(i + k) > high)
                return 0;
        return length;
    }

} // namespace

std::string terminalSafe(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = wellFormedLength(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F are C2 80 to C2 9F.
        const bool control = length == 1
            ? byte < 0x20 || byte == 0x7F
            : length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length == 0 || control) {
            const auto shown = static_cast<unsigned char>(control && length == 2 ? text[i + 1] : text[i]);
            out.append("\\x").append(1, hex[shown >> 4]).append(1, hex[shown & 0xF]);
            i += length == 0 ? 1 : length;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string withoutLineFeeds(std::string_view message)
{
    // The message ends at its first NUL byte, as a C string would.
    message = message.substr(0, message.find('\0'));
    std::string cleaned;
    cleaned.reserve(message.size());
    std::copy_if(message.begin(), message.end(), std::back_inserter(cleaned), [](char c) { return c != '\n'; });
    return cleaned;
}

} // namespace kavrin
