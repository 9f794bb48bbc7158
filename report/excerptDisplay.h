#pragma once

#include "utf8.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class errorExcerpt;

namespace kavrin {

// A place in the shown text, counted in UTF-16 code units, CR and LF one
// each. Distinct from the validator's byte columns on purpose.
struct displayPosition {
    std::size_t units = 0;
    auto operator<=>(const displayPosition&) const = default;
};

// What the excerpt view shows: the joined text and the marked range.
struct excerptDisplay {
    std::u16string text;
    displayPosition highlightStart;
    displayPosition highlightEnd;
    std::uint32_t firstLine = 1;
    std::uint32_t endLine = 1;
    bool utf8 = false;
    bool cut = false; // the text ends in the "..." of a cut marked part
};

excerptDisplay displayOf(const errorExcerpt& excerpt);

// The excerpt with every view line longer than longLine units cut to a
// window of that many, with "…" where it is cut: around the mark's start on
// the line that holds it, its beginning on the others. The mark keeps its
// place in the cut text. For views that cannot lay out a megabyte line.
excerptDisplay windowedDisplay(const excerptDisplay& display, std::size_t longLine, std::size_t leadIn);

// The view lines at which the excerpt's numbered lines begin: a CR LF or LF
// ends a numbered line, a lone CR only breaks the view line, except the one
// before the "..." of a cut marked part, which stands for a line feed.
std::vector<std::size_t> lineStartBlocks(std::u16string_view text, bool cut = false);

// The numbers first to end - 1, each followed by CR LF; empty when first >= end.
std::string lineNumberText(std::uint32_t first, std::uint32_t end);

} // namespace kavrin
