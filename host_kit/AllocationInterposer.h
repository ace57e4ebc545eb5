// AllocationInterposer: malloc and its kin replaced in the program that links
// it, each forwarding to the C library's own entry point (glibc's __libc_*), so
// that every block of the process, from any module, passes here and the
// program's observer hears of it. The C library stays the one owner of every
// block, so blocks from before the observer came are freed correctly. It is an
// object library linked into an executable (ENABLE_EXPORTS), never into a
// library: the shared libraries must bind to the executable's malloc. CMake
// builds it with glibc alone and not under AddressSanitizer, which owns malloc.
#pragma once

#include <cstddef>

namespace allocation_interposer {

// What the program hears; each entry may be null. Called on the allocating
// thread, inside the allocator: an observer allocates nothing.
struct Observer {
    // malloc, calloc or an aligned form handed out `block` (null when it failed).
    void (*allocated)(void* block);
    // `block` (never null) is about to be freed.
    void (*freeing)(void* block);
    // realloc(block, size) is about to run; `block` may be null.
    void (*resizing)(void* block, std::size_t size);
    // realloc(block, size) handed back `moved`.
    void (*resized)(void* block, std::size_t size, void* moved);
};

// The observer from now on (one per program).
void observe(const Observer& observer);

} // namespace allocation_interposer
