#include "HeapInUse.h"

#include <windows.h>

#include <vector>

long long heapInUse() {
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
}

HeapMeasure heapMeasure() {
    return HeapMeasure::ProcessHeaps;
}
