#pragma once

#include <string>

namespace kavrin {

// A name typed or passed in double quotes is opened without them: the pair is
// removed once, the last quote first, so a lone '"' becomes empty.
inline void removeSurroundingQuotes(std::string& name)
{
    if (name.empty() || name.front() != '"' || name.back() != '"')
        return;
    name.pop_back();
    if (!name.empty())
        name.erase(0, 1);
}

} // namespace kavrin
