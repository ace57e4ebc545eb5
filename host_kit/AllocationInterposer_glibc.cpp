#include "AllocationInterposer.h"

#include <cerrno>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

allocation_interposer::Observer observer = {nullptr, nullptr, nullptr, nullptr};

void* allocated(void* block) {
    if (observer.allocated != nullptr) {
        observer.allocated(block);
    }
    return block;
}

} // namespace

void allocation_interposer::observe(const Observer& next) {
    observer = next;
}

extern "C" {

void* malloc(std::size_t size) {
    return allocated(__libc_malloc(size));
}

void* calloc(std::size_t count, std::size_t size) {
    return allocated(__libc_calloc(count, size));
}

void* realloc(void* block, std::size_t size) {
    if (observer.resizing != nullptr) {
        observer.resizing(block, size);
    }
    void* moved = __libc_realloc(block, size);
    if (observer.resized != nullptr) {
        observer.resized(block, size, moved);
    }
    return moved;
}

void free(void* block) {
    if (block != nullptr && observer.freeing != nullptr) {
        observer.freeing(block);
    }
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    return allocated(__libc_memalign(alignment, size));
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

} // extern "C"
