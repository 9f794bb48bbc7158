#include "fuzzInput.h"
#include "repair.h"
#include "tzvParser.h"

#include <string_view>

using kavrin::fuzzing::require;

namespace {

bool correct(std::string_view bytes)
{
    tzvParser parser;
    return parser.checkBytes(bytes).empty();
}

} // namespace

// A repair never turns a correct file into anything else, lists a change
// exactly when it changed bytes, and a repaired copy needs no second repair.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kavrin::repairResult once = kavrin::repairBytes(bytes);
    if (correct(bytes))
        require(once.bytes == bytes && once.changes.empty());
    require(once.changes.empty() == (once.bytes == bytes));
    const kavrin::repairResult twice = kavrin::repairBytes(once.bytes);
    require(twice.changes.empty() && twice.bytes == once.bytes);
    return 0;
}
