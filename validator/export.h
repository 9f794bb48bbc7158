#pragma once

// The library's public symbols. Everything else is hidden when it is built
// as a shared library, so that its ABI is just this.
#if defined(_WIN32)
#define KAVRIN_EXPORT
#else
#define KAVRIN_EXPORT __attribute__((visibility("default")))
#endif
