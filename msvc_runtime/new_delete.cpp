// The allocation half of the runtime that Microsoft's static C++ runtime gives
// every DLL it links, for the project's Microsoft-mode builds without one: the
// global operator new and delete in every form the compiler calls, on the C
// library's malloc and free, and std::nothrow. Memory that a DLL allocates is
// released by the same DLL, so its allocator is its own business.
//
// Nothing here throws: the project's code allocates with std::nothrow and checks
// the result; an ordinary new that finds no memory ends the process, as an
// uncaught std::bad_alloc would.
#include <new>
#include <stdlib.h>

namespace std {
const nothrow_t nothrow{};
}

namespace {

void* allocateOrNull(size_t size) {
    return malloc(size != 0 ? size : 1);
}

void* allocateOrEnd(size_t size) {
    void* block = allocateOrNull(size);
    if (block == nullptr) {
        abort();
    }
    return block;
}

} // namespace

void* operator new(size_t size) {
    return allocateOrEnd(size);
}
void* operator new[](size_t size) {
    return allocateOrEnd(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}

void operator delete(void* block) noexcept {
    free(block);
}
void operator delete[](void* block) noexcept {
    free(block);
}
void operator delete(void* block, size_t) noexcept {
    free(block);
}
void operator delete[](void* block, size_t) noexcept {
    free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    free(block);
}
