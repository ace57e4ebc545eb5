#include "environment_value.h"

#include "tarn_export.h"

#include <cstdlib>

// The process environment itself rather than a C runtime's copy of it: a host
// that sets a variable through its own runtime must be seen by this library too.
extern "C" TARN_SYSTEM_IMPORT unsigned long TARN_STDCALL
GetEnvironmentVariableA(const char* name, char* buffer, unsigned long size);

const char* environmentValue(const char* name, char* buffer, unsigned long size, char*& allocated) {
    allocated = nullptr;
    const unsigned long length = GetEnvironmentVariableA(name, buffer, size);
    if (length == 0) {
        return nullptr;
    }
    if (length < size) {
        return buffer;
    }
    // Too long for the buffer: `length` is the size it needs, the NUL included.
    allocated = static_cast<char*>(std::malloc(length));
    if (allocated == nullptr) {
        return nullptr;
    }
    const unsigned long copied = GetEnvironmentVariableA(name, allocated, length);
    if (copied == 0 || copied >= length) {
        std::free(allocated);
        allocated = nullptr;
        return nullptr;
    }
    return allocated;
}
