#include "child/HeapMeter.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__SANITIZE_ADDRESS__)
#define PANELHOST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PANELHOST_ASAN 1
#endif
#endif

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#elif defined(PANELHOST_ASAN)
// Declared here: gcc does not install the sanitizer interface headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace heap_meter {

namespace {
Counter* registered() {
    static Counter counter = {nullptr, nullptr};
    return &counter;
}
} // namespace

void useCounter(const Counter& counter) {
    *registered() = counter;
}

void arm() {
    if (registered()->arm != nullptr) {
        registered()->arm();
    }
}

long long inUse() {
#if defined(_WIN32)
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    long long total = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = nullptr;
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                total += static_cast<long long>(entry.cbData);
            }
        }
        HeapUnlock(heap);
    }
    return total;
#elif defined(PANELHOST_ASAN)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    if (registered()->inUse != nullptr) {
        return registered()->inUse();
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#else
    return 0;
#endif
#endif
}

std::string how() {
#if defined(_WIN32)
    return "the busy blocks of the process heaps (HeapWalk)";
#elif defined(PANELHOST_ASAN)
    return "AddressSanitizer's allocator";
#else
    if (registered()->inUse != nullptr) {
        return "every malloc and free, counted by panelhost's allocation interposer";
    }
    return "the C library's statistics (mallinfo2), which drift by its thread cache";
#endif
}

} // namespace heap_meter
