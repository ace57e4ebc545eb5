// HeapInUse: the bytes of heap the whole process has in use, read as the platform
// lets a host read them, for the checks that memory stays flat (the soak,
// validate's leak check): under AddressSanitizer, which owns malloc, its
// allocator's figure; on Windows the busy blocks of every heap of the process
// (HeapWalk), which the C runtimes allocate from; with the GNU C library its
// statistics (mallinfo2: the chunks handed out, from the arenas and from mmap),
// which its per-thread cache makes drift by a few KiB unless that cache is off
// (GLIBC_TUNABLES=glibc.malloc.tcache_count=0). Zero where none is available.
// CMake builds the one file of these that fits the build (HeapInUse_*.cpp).
#pragma once

enum class HeapMeasure { Sanitizer, ProcessHeaps, CLibrary, None };

// The bytes in use now; meaningful as a difference between two readings.
long long heapInUse();
// How heapInUse measures on this platform and build.
HeapMeasure heapMeasure();
