#include "GuardedPages.h"

#include <windows.h>

namespace guarded_pages {

std::size_t pageSize() {
    static const std::size_t size = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return static_cast<std::size_t>(info.dwPageSize);
    }();
    return size;
}

void* reserve(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void release(void* base, std::size_t) {
    VirtualFree(base, 0, MEM_RELEASE);
}

bool protect(void* base, std::size_t bytes, bool accessible) {
    DWORD was = 0;
    return VirtualProtect(base, bytes, accessible ? PAGE_READWRITE : PAGE_NOACCESS, &was) != 0;
}

bool guard(void* base, std::size_t bytes) {
    return protect(base, bytes, false);
}

} // namespace guarded_pages
