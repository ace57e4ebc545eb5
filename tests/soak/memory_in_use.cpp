#include "memory_in_use.h"

#include "HeapInUse.h"

#include <cstdlib>
#include <cstring>

std::size_t memoryInUse() {
    return static_cast<std::size_t>(heapInUse());
}

// The sanitizer's figure is exact. The C library counts the blocks in its
// per-thread cache as in use, and how many it holds drifts with the sizes freed
// last; only with that cache off (GLIBC_TUNABLES=glibc.malloc.tcache_count=0) is
// the figure exact.
bool memoryInUseIsMeasured() {
    if (heapMeasure() == HeapMeasure::Sanitizer) {
        return true;
    }
    if (heapMeasure() != HeapMeasure::CLibrary) {
        return false;
    }
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    return tunables != nullptr && std::strstr(tunables, "glibc.malloc.tcache_count=0") != nullptr;
}
