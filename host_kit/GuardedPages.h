// GuardedPages: whole pages of memory whose access a host can take away and give
// back, for the replies it hands a component (GuardedReplies). Natively mmap and
// mprotect; on Windows VirtualAlloc and VirtualProtect.
#pragma once

#include <cstddef>

namespace guarded_pages {

// The size of a page, the unit of everything below.
std::size_t pageSize();
// `bytes` (a whole number of pages) of fresh memory, readable and writable,
// owned by the caller until release(); null when none can be had.
void* reserve(std::size_t bytes);
void release(void* base, std::size_t bytes);
// Makes the pages from `base` untouchable (`accessible` false) or readable and
// writable again; false when the system refused.
bool protect(void* base, std::size_t bytes, bool accessible);
// Makes the pages from `base` untouchable for as long as they are held: a
// guard, which the protection of its neighbours never changes; false when the
// system refused.
bool guard(void* base, std::size_t bytes);

} // namespace guarded_pages
