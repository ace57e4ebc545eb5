// The heap memory the process has in use, in bytes, as the host kit reads it
// (HeapInUse.h): the sanitizer allocator's figure under AddressSanitizer,
// otherwise the C library's. Zero where neither is available.
#pragma once

#include <cstddef>

std::size_t memoryInUse();
// Whether memoryInUse is exact here, so that a comparison of two figures means
// something; for the C library's figure that needs its thread cache turned off.
bool memoryInUseIsMeasured();
