#include "HeapInUse.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__SANITIZE_ADDRESS__)
#define HOST_KIT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOST_KIT_ASAN 1
#endif
#endif

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#elif defined(HOST_KIT_ASAN)
// Declared here: gcc does not install the sanitizer interface headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
#include <malloc.h>
#define HOST_KIT_MALLINFO2 1
#endif

long long heapInUse() {
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
#elif defined(HOST_KIT_ASAN)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#elif defined(HOST_KIT_MALLINFO2)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#else
    return 0;
#endif
}

HeapMeasure heapMeasure() {
#if defined(_WIN32)
    return HeapMeasure::ProcessHeaps;
#elif defined(HOST_KIT_ASAN)
    return HeapMeasure::Sanitizer;
#elif defined(HOST_KIT_MALLINFO2)
    return HeapMeasure::CLibrary;
#else
    return HeapMeasure::None;
#endif
}
