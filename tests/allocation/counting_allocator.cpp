// The replacement C allocator: each entry point counts (when counting is on and
// not paused) and forwards to glibc's implementation, which stays the one owner
// of every block, so blocks from before counting started, or from any module,
// are freed correctly.
#include "counting_allocator.h"

#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

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
} // namespace

extern "C" {

void* malloc(std::size_t size) {
    countAllocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    countAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    if (block != nullptr && size == 0) {
        countFree();
    } else {
        countAllocation();
    }
    return __libc_realloc(block, size);
}

void free(void* block) {
    if (block != nullptr) {
        countFree();
    }
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    countAllocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    countAllocation();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    countAllocation();
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

} // extern "C"

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
