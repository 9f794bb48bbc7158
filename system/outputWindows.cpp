#include "output.h"

#include <algorithm>
#include <climits>
#include <io.h>

namespace kavrin::system {

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const int written = ::_write(descriptor, bytes.data(), unsigned(std::min<std::size_t>(bytes.size(), INT_MAX)));
        if (written <= 0)
            return false;
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

} // namespace kavrin::system
