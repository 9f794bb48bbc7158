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
