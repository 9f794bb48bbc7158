#include "fuzzInput.h"
#include "repairPromises.h"

#include <string_view>

// A repair keeps every promise of repairPromises.h: a correct file stays as
// it is, every change is described, no two overlap, the copy stays within
// 4 MiB, the data is the input's, and the copy needs no second repair.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kavrin::fuzzing::require(kavrin::fuzzing::brokenPromise(bytes, kavrin::repairBytes(bytes)).empty());
    return 0;
}
