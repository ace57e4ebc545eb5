#include "memory_in_use.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_ASAN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ASAN_ALLOCATOR 1
#endif
#endif

#if defined(QUILLON_ASAN_ALLOCATOR)
// Declared here: gcc does not install the sanitizer interface headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

std::size_t memoryInUse() {
    return __sanitizer_get_current_allocated_bytes();
}
bool memoryInUseIsMeasured() {
    return true;
}

#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
#include <malloc.h>

#include <cstring>

std::size_t memoryInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The C library counts the blocks in its per-thread cache as in use, and how
// many it holds drifts with the sizes freed last; only with that cache off
// (GLIBC_TUNABLES=glibc.malloc.tcache_count=0) is the figure exact.
bool memoryInUseIsMeasured() {
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    return tunables != nullptr && std::strstr(tunables, "glibc.malloc.tcache_count=0") != nullptr;
}

#else

std::size_t memoryInUse() {
    return 0;
}
bool memoryInUseIsMeasured() {
    return false;
}

#endif
