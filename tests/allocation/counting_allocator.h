// Counting allocator for the allocation tests. The test executable replaces the C
// allocator (malloc, calloc, realloc, free and the aligned forms) with thin
// forwarders to glibc's own entry points, so it sees every heap allocation of the
// process: tarn_string's and tarn_config's malloc inside their shared libraries,
// the frame's and the component's operator new inside libquillon.so (which
// libstdc++ turns into malloc), and whatever the C library allocates for them.
//
// Counting runs only inside an AllocationCounter's lifetime, and not inside a
// CountingPause, which the fake host uses so that its own bookkeeping is left
// out. One thread only: the tests drive the component the way a panel host does.
#pragma once

struct AllocationCounts {
    long allocations; // malloc, calloc, the aligned forms, and every realloc to a size
    long frees;       // free and realloc to size 0 of a non-null pointer
};

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // What was counted since construction.
    AllocationCounts counts() const;
    long allocations() const { return counts().allocations; }

private:
    AllocationCounts m_start;
};

class CountingPause {
public:
    CountingPause();
    ~CountingPause();
    CountingPause(const CountingPause&) = delete;
    CountingPause& operator=(const CountingPause&) = delete;
};

// The allocations and frees that `operation` makes.
template <typename Operation> AllocationCounts countAllocations(Operation&& operation) {
    AllocationCounter counter;
    operation();
    return counter.counts();
}
