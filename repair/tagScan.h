#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// A light scan for the tags of a ticket file's text, that knows nothing of
// the format and never fails: for the repair and for an editor's outline.
// Not the check's scanner, which reads the markup by the format's rules.
namespace kavrin::tagScan {

struct tag {
    std::size_t start = 0; // its '<'
    std::size_t end = 0; // after its '>', or where the next tag begins
    std::string_view name;
    bool closing = false;
};

// Every '<' begins a tag, except those of comments and of the declaration,
// which are passed over.
std::vector<tag> tagsOf(std::string_view text);

} // namespace kavrin::tagScan
