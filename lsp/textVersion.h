#pragma once

#include "positions.h"
#include "tagScan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin::lsp {

// One version of an open document's text, with what every request derives
// from it made when first asked and kept until the text changes: its line
// index and its tags. Not copied or moved, since both refer to the bytes.
class textVersion {
public:
    textVersion(std::string text, positionEncoding encoding);
    textVersion(const textVersion&) = delete;
    textVersion& operator=(const textVersion&) = delete;

    std::string_view text() const { return bytes; }
    positionEncoding encoding() const { return counting; }
    const lineIndex& lines() const;
    const std::vector<tagScan::tag>& tags() const;

private:
    const std::string bytes;
    const positionEncoding counting;
    mutable std::optional<lineIndex> index;
    mutable std::optional<std::vector<tagScan::tag>> tagList;
};

} // namespace kavrin::lsp
