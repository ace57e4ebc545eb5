// HeapMeter: the bytes of heap the child process has in use, read as exactly as
// the platform lets a host read them, for the leak check. Natively the
// allocation interposer linked into the panelhost program counts every malloc
// and free of the process once armed; under AddressSanitizer (which owns malloc)
// its allocator's own figure; on Windows the busy blocks of every heap of the
// process (HeapWalk), which the C runtimes allocate from. Without any of these
// (a program without the interposer) the C library's statistics, whose
// per-thread cache makes them drift by a few KiB.
#pragma once

#include <cstddef>
#include <string>

namespace heap_meter {

// Starts counting where counting must start; call before the first reading.
void arm();
// The bytes in use now (meaningful as a difference between two readings).
long long inUse();
// How the figure is measured, for the report.
std::string how();

// The interposer's entry points, registered by the interposer itself.
struct Counter {
    void (*arm)();
    long long (*inUse)();
};
void useCounter(const Counter& counter);

} // namespace heap_meter
