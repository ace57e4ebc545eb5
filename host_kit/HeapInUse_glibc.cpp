// The GNU C library's own statistics (mallinfo2, from glibc 2.33 on).
#include "HeapInUse.h"

#include <malloc.h>

long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

HeapMeasure heapMeasure() {
    return HeapMeasure::CLibrary;
}
