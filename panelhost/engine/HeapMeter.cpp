#include "engine/HeapMeter.h"

#include "HeapInUse.h"

namespace heap_meter {

namespace {
Counter* registered() {
    static Counter counter = {nullptr, nullptr};
    return &counter;
}

// The interposer counts where the platform's own figure would drift: natively,
// outside the sanitizers (which own malloc).
bool counted() {
    const HeapMeasure platform = heapMeasure();
    return registered()->inUse != nullptr && platform != HeapMeasure::Sanitizer &&
           platform != HeapMeasure::ProcessHeaps;
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
    return counted() ? registered()->inUse() : heapInUse();
}

std::string how() {
    if (counted()) {
        return "every malloc and free, counted by panelhost's allocation interposer";
    }
    switch (heapMeasure()) {
    case HeapMeasure::ProcessHeaps:
        return "the busy blocks of the process heaps (HeapWalk)";
    case HeapMeasure::Sanitizer:
        return "AddressSanitizer's allocator";
    case HeapMeasure::CLibrary:
        return "the C library's statistics (mallinfo2), which drift by its thread cache";
    case HeapMeasure::None:
        break;
    }
    return "nothing: this platform gives no figure";
}

} // namespace heap_meter
