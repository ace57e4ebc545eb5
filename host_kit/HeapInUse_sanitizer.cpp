// The build under AddressSanitizer, whose allocator owns malloc.
#include "HeapInUse.h"

#include <cstddef>

// Declared here: gcc does not install the sanitizer interface headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

long long heapInUse() {
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
}

HeapMeasure heapMeasure() {
    return HeapMeasure::Sanitizer;
}
