// The heap meter's count of the bytes in use, kept by the host kit's allocation
// interposer's observer: once armed, the usable size of every block handed out
// is added and of every block freed taken away. It is linked into the panelhost
// program alone, with the interposer: the unit tests, run under a memory
// checker, keep the C library's allocator.
#include "engine/HeapMeter.h"

#include "AllocationInterposer.h"

#include <atomic>
#include <malloc.h>

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
        allocation_interposer::observe({add, remove,
                                        [](void* block, std::size_t) { remove(block); },
                                        [](void* block, std::size_t size, void* moved) {
                                            // On failure the old block stays, and is counted again.
                                            add(moved != nullptr || size == 0 ? moved : block);
                                        }});
        heap_meter::useCounter(
            {[] { armed.store(true); }, [] { return bytes.load(std::memory_order_relaxed); }});
    }
} registration;

} // namespace
