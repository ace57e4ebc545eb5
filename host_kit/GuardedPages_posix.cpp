#include "GuardedPages.h"

#include <sys/mman.h>
#include <unistd.h>

namespace guarded_pages {

std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

void* reserve(std::size_t bytes) {
    void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return base == MAP_FAILED ? nullptr : base;
}

void release(void* base, std::size_t bytes) {
    munmap(base, bytes);
}

bool protect(void* base, std::size_t bytes, bool accessible) {
    return mprotect(base, bytes, accessible ? PROT_READ | PROT_WRITE : PROT_NONE) == 0;
}

bool guard(void* base, std::size_t bytes) {
    // Marked apart (not dumped), a guard is never merged into one mapping with
    // a neighbour given the same protection, so that changing that neighbour's
    // protection again needs no split: a give-back costs one small change.
    return mprotect(base, bytes, PROT_NONE) == 0 && madvise(base, bytes, MADV_DONTDUMP) == 0;
}

} // namespace guarded_pages
