#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the reasons of every layer share: numbers and found values written
// the same way everywhere.
namespace kavrin::reasons {

std::string number(std::uint64_t value);
// 4194304 as "4 194 304".
std::string grouped(std::uint64_t value);
std::string twoDigits(std::uint32_t value);
// 0x1A
std::string hexByte(int byte);
// A found value as it may stand in a reason: shortened, control characters,
// broken bytes and hidden characters escaped or named.
std::string escaped(std::string_view value);
// "1 bis 45", or "0 oder 1".
std::string range(std::uint32_t minimum, std::uint32_t maximum);
std::string listShape(std::string_view element, std::uint32_t count, std::uint32_t maximum);

} // namespace kavrin::reasons
