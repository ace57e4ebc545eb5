// The allocation interposer of the panelhost program: malloc and its kin,
// defined in the executable so that the component library and everything else
// in the process bind to them, forward to the C library's own entry points and,
// once armed, keep count of the bytes in use (the usable size of each block). It
// is linked into the panelhost program only: the unit tests, run under a memory
// checker, keep the C library's allocator. Not built under AddressSanitizer,
// which owns malloc itself, nor where the C library is not glibc.
#include "engine/HeapMeter.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__SANITIZE_ADDRESS__)
#define PANELHOST_NO_INTERPOSER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PANELHOST_NO_INTERPOSER 1
#endif
#endif

#if defined(__GLIBC__) && !defined(PANELHOST_NO_INTERPOSER)
#include <atomic>
#include <cerrno>
#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<bool> armed(false);
std::atomic<long long> bytes(0);

void add(void* block) {
    if (block != nullptr && armed.load(std::memory_order_relaxed)) {
        bytes.fetch_add(static_cast<long long>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
    }
}

void remove(void* block) {
    if (block != nullptr && armed.load(std::memory_order_relaxed)) {
        bytes.fetch_sub(static_cast<long long>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
    }
}

struct Registration {
    Registration() {
        heap_meter::useCounter(
            {[] { armed.store(true); }, [] { return bytes.load(std::memory_order_relaxed); }});
    }
} registration;

} // namespace

extern "C" {

void* malloc(std::size_t size) {
    void* block = __libc_malloc(size);
    add(block);
    return block;
}

void* calloc(std::size_t count, std::size_t size) {
    void* block = __libc_calloc(count, size);
    add(block);
    return block;
}

void* realloc(void* block, std::size_t size) {
    remove(block);
    void* moved = __libc_realloc(block, size);
    // On failure the old block stays, and is counted again.
    add(moved != nullptr || size == 0 ? moved : block);
    return moved;
}

void free(void* block) {
    remove(block);
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    void* block = __libc_memalign(alignment, size);
    add(block);
    return block;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

} // extern "C"
#endif
