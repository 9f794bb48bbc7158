#include "number.h"

namespace kavrin {

unsignedConversion toUnsigned32(std::string_view text)
{
    constexpr std::uint64_t maximum = 0xFFFFFFFFu;
    std::size_t at = 0;
    while (at < text.size()
        && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\v' || text[at] == '\f'
            || text[at] == '\r'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';

    unsignedConversion result;
    const std::size_t firstDigit = at;
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (!result.overflow) {
            value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
            if (value > maximum)
                result.overflow = true;
        }
    }
    if (at == firstDigit)
        return {}; // no conversion: nothing is taken, not even white space or sign
    result.end = at;
    if (result.overflow)
        result.value = static_cast<std::uint32_t>(maximum);
    else
        result.value = static_cast<std::uint32_t>(negative ? (0 - value) & maximum : value);
    return result;
}

} // namespace kavrin
