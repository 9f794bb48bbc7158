#include "tagScan.h"

#include <algorithm>

namespace kavrin::tagScan {

std::vector<tag> tagsOf(std::string_view text)
{
    std::vector<tag> tags;
    for (std::size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i + 1)) {
        // A declaration ends at its first '>', so that a broken "?>" does not
        // hide the rest of the file.
        if (text.compare(i, 4, "<!--") == 0 || text.compare(i, 2, "<?") == 0) {
            i = text[i + 1] == '!' ? text.find("-->", i + 4) : text.find('>', i + 2);
            if (i == std::string_view::npos)
                break;
            continue;
        }
        const std::size_t close = text.find_first_of("<>", i + 1);
        const std::size_t end
            = close != std::string_view::npos && text[close] == '>' ? close + 1 : text.find('<', i + 1);
        const bool closing = text.compare(i, 2, "</") == 0;
        const std::size_t nameStart = i + (closing ? 2 : 1);
        const std::size_t nameEnd = std::min(text.find_first_of(" \t\r\n/><", nameStart), text.size());
        tags.push_back({ i, end == std::string_view::npos ? text.size() : end,
            text.substr(nameStart, nameEnd - nameStart), closing });
        if (end == std::string_view::npos)
            break;
        i = tags.back().end - 1;
    }
    return tags;
}

} // namespace kavrin::tagScan
