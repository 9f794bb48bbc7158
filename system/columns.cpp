#include "columns.h"

#include <algorithm>
#include <iterator>

namespace kavrin::system {

namespace {

    struct columnRange {
        char32_t first;
        char32_t last;
        unsigned char columns;
    };

    // Made by makeColumnsTable.py, sorted and without overlaps.
    constexpr columnRange notOneColumn[] = {
#include "columnsTable.inc"
    };

} // namespace

std::size_t columnsOf(char32_t c)
{
    const auto after = std::upper_bound(std::begin(notOneColumn), std::end(notOneColumn), c,
        [](char32_t wanted, const columnRange& range) { return wanted < range.first; });
    if (after == std::begin(notOneColumn) || c > std::prev(after)->last)
        return 1;
    return std::prev(after)->columns;
}

} // namespace kavrin::system
