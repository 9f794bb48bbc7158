#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kavrin {

struct unsignedConversion {
    std::uint32_t value = 0;
    std::size_t end = 0; // bytes taken; 0 when no digit was found
    bool overflow = false;
};

// The C runtime's unsigned decimal conversion of a platform whose unsigned
// long has 32 bits: leading white space as isspace() knows it in the "C"
// locale, an optional sign ('-' negates modulo 2^32), then digits; a value
// beyond 4294967295 saturates there and reports an overflow.
unsignedConversion toUnsigned32(std::string_view text);

} // namespace kavrin
