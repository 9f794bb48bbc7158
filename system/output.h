#pragma once

#include <string_view>

// Writing to a descriptor, for every program that writes: one file per
// system.
namespace kavrin::system {

// Writes all of bytes, going on after a short write or an interruption;
// false when the descriptor takes no more (closed, full, gone).
bool writeAll(int descriptor, std::string_view bytes);

} // namespace kavrin::system
