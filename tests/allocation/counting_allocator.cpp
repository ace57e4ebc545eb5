// The replacement C allocator is the host kit's interposer: each entry point
// forwards to glibc's implementation, which stays the one owner of every block,
// so blocks from before counting started, or from any module, are freed
// correctly. Its observer counts, when counting is on and not paused.
#include "counting_allocator.h"

#include "AllocationInterposer.h"

#include <cstddef>

namespace {
int activeCounters = 0;
int pauseDepth = 0;
long allocationCount = 0;
long freeCount = 0;

bool counting() {
    return activeCounters > 0 && pauseDepth == 0;
}

void countAllocation() {
    if (counting()) {
        ++allocationCount;
    }
}

void countFree() {
    if (counting()) {
        ++freeCount;
    }
}

// realloc to size 0 of a block frees it; any other realloc allocates.
void countResize(void* block, std::size_t size) {
    if (block != nullptr && size == 0) {
        countFree();
    } else {
        countAllocation();
    }
}

struct Registration {
    Registration() {
        allocation_interposer::observe(
            {[](void*) { countAllocation(); }, [](void*) { countFree(); }, countResize, nullptr});
    }
} registration;
} // namespace

AllocationCounter::AllocationCounter() {
    ++activeCounters;
    m_start = {allocationCount, freeCount};
}

AllocationCounter::~AllocationCounter() {
    --activeCounters;
}

AllocationCounts AllocationCounter::counts() const {
    return {allocationCount - m_start.allocations, freeCount - m_start.frees};
}

CountingPause::CountingPause() {
    ++pauseDepth;
}

CountingPause::~CountingPause() {
    --pauseDepth;
}
