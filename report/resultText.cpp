#include "resultText.h"

#include "utf8.h"

#include <algorithm>

namespace kavrin {

std::string windowTitle(std::string_view nameText)
{
    std::string title(titlePrefix);
    title.append(utf8::baseName(nameText));
    return title;
}

std::string terminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8::wellFormedLength(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F are C2 80 to C2 9F.
        const bool control = length == 1
            ? byte < 0x20 || byte == 0x7F
            : length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        // A backslash is doubled, so that a name holding one can never be
        // taken for an escape.
        if (byte == '\\') {
            out += "\\\\";
            ++i;
            continue;
        }
        if (length == 0 || control) {
            const auto shown = static_cast<unsigned char>(control && length == 2 ? text[i + 1] : text[i]);
            out.append("\\x").append(utf8::hex(shown, 2));
            i += length == 0 ? 1 : length;
            continue;
        }
        if (const char32_t c = utf8::decode(text, i, length); utf8::reordersText(c))
            out += utf8::describe(c);
        else
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
