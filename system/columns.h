#pragma once

#include <cstddef>

namespace kavrin::system {

// Columns a terminal gives a character, by Unicode's data and the same on
// every system: two for the wide ones of East Asian scripts and emoji, none
// for combining marks, one for the rest.
std::size_t columnsOf(char32_t c);

} // namespace kavrin::system
