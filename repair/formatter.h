#pragma once

#include <string>
#include <string_view>

namespace kavrin {

// A ticket file in the canonical layout (layout.h): the declaration, one
// element per line, two spaces of indentation a level, the file's line-end
// style kept. Values, comments and every byte the check does not skip as
// layout stay as they are; from markup it cannot place for certain (an end
// tag that closes no open element, text among elements, a tag cut off) the
// rest of the file stays as it is. A byte-order mark and a 0x1A tail are
// kept. Formatting a formatted file changes nothing.
struct formatResult {
    // The formatted copy; the input's bytes when it was not formatted.
    std::string bytes;
    // False when the layout would have changed what the check finds (its
    // codes, in order): then the input is given back untouched.
    bool formatted = true;
};

formatResult formatBytes(std::string_view bytes);

} // namespace kavrin
