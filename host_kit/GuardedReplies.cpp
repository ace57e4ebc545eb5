#include "GuardedReplies.h"

#include "GuardedPages.h"

#include <cstring>
#include <new>

namespace {

std::atomic<GuardedReplies*> sharedPool{nullptr};

void keepCommand(char (&to)[GuardedReplies::CommandKept], const std::string& command) {
    const std::size_t size = command.size() < sizeof to - 1 ? command.size() : sizeof to - 1;
    std::memcpy(to, command.data(), size);
    to[size] = '\0';
}

} // namespace

GuardedReplies& GuardedReplies::shared() {
    // Never destroyed: a ledger may outlive every static of the process.
    static GuardedReplies* const pool = new GuardedReplies();
    return *pool;
}

GuardedReplies::GuardedReplies() : m_page(guarded_pages::pageSize()) {
    sharedPool.store(this);
}

GuardedReplies::Region* GuardedReplies::smallRegion() {
    if (m_free == nullptr) {
        const std::size_t count = m_chunkCount.load();
        const std::size_t records = (sizeof(Chunk) + m_page - 1) / m_page * m_page;
        if (count == MostChunks) {
            return nullptr;
        }
        // Every second page is a guard, untouchable for the chunk's whole life.
        const std::size_t bytes = ChunkRegions * 2 * m_page;
        char* base = static_cast<char*>(guarded_pages::reserve(bytes));
        void* place = base != nullptr ? guarded_pages::reserve(records) : nullptr;
        if (place == nullptr) {
            if (base != nullptr) {
                guarded_pages::release(base, bytes);
            }
            return nullptr;
        }
        bool guarded = true;
        for (std::size_t i = 0; i < ChunkRegions && guarded; ++i) {
            guarded = guarded_pages::guard(base + (i * 2 + 1) * m_page, m_page);
        }
        if (!guarded) {
            guarded_pages::release(base, bytes);
            guarded_pages::release(place, records);
            return nullptr;
        }
        Chunk* chunk = new (place) Chunk();
        chunk->base = base;
        for (std::size_t i = ChunkRegions; i-- > 0;) {
            Region& region = chunk->regions[i];
            region.base = base + i * 2 * m_page;
            region.nextFree = m_free;
            m_free = &region;
        }
        m_chunks[count] = chunk;
        m_chunkCount.store(count + 1);
    }
    Region* region = m_free;
    m_free = region->nextFree;
    return region;
}

GuardedReplies::Region* GuardedReplies::largeRegion(std::size_t pages) {
    for (Region& region : m_large) {
        if (region.base != nullptr) {
            continue;
        }
        char* base = static_cast<char*>(guarded_pages::reserve((pages + 1) * m_page));
        if (base == nullptr) {
            return nullptr;
        }
        if (!guarded_pages::guard(base + pages * m_page, m_page)) {
            guarded_pages::release(base, (pages + 1) * m_page);
            return nullptr;
        }
        region.pages = pages;
        region.base = base;
        return &region;
    }
    return nullptr;
}

char* GuardedReplies::place(const std::string& text, const std::string& command) {
    const std::size_t size = text.size() + 1;
    const std::lock_guard<std::mutex> lock(m_lock);
    const std::size_t pages = (size + m_page - 1) / m_page;
    Region* region = pages == 1 ? smallRegion() : largeRegion(pages);
    char* reply = nullptr;
    if (region == nullptr) {
        reply = new char[size];
    } else {
        reply = region->base + region->pages * m_page - size;
        region->length = text.size();
        region->released = false;
        keepCommand(region->command, command);
        region->state.store(Live);
    }
    std::memcpy(reply, text.c_str(), size);
    m_placed[reply] = region;
    return reply;
}

void GuardedReplies::givenBack(const char* reply) {
    const std::lock_guard<std::mutex> lock(m_lock);
    const auto found = m_placed.find(reply);
    if (found == m_placed.end() || found->second == nullptr ||
        found->second->state.load() != Live) {
        return;
    }
    Region* region = found->second;
    if (m_quarantined == Quarantine) {
        // The oldest given back may be touched again: the ring holds the newest.
        Region* oldest = m_quarantine[m_oldest];
        m_oldest = (m_oldest + 1) % Quarantine;
        --m_quarantined;
        guarded_pages::protect(oldest->base, oldest->pages * m_page, true);
        oldest->state.store(Live);
        if (oldest->released) {
            free(*oldest);
        }
    }
    if (guarded_pages::protect(region->base, region->pages * m_page, false)) {
        region->state.store(Quarantined);
        m_quarantine[(m_oldest + m_quarantined) % Quarantine] = region;
        ++m_quarantined;
    }
}

void GuardedReplies::release(const char* reply) {
    const std::lock_guard<std::mutex> lock(m_lock);
    const auto found = m_placed.find(reply);
    if (found == m_placed.end()) {
        return;
    }
    Region* region = found->second;
    m_placed.erase(found);
    if (region == nullptr) {
        delete[] reply;
    } else if (region->state.load() == Quarantined) {
        region->released = true;
    } else {
        free(*region);
    }
}

void GuardedReplies::free(Region& region) {
    region.state.store(Free);
    region.released = false;
    if (region.pages == 1) {
        region.nextFree = m_free;
        m_free = &region;
        return;
    }
    guarded_pages::release(region.base, (region.pages + 1) * m_page);
    region.base = nullptr;
}

const GuardedReplies::Region* GuardedReplies::find(const void* address, bool& inGuard) const {
    const char* at = static_cast<const char*>(address);
    const std::size_t count = m_chunkCount.load();
    for (std::size_t i = 0; i < count; ++i) {
        const Chunk* chunk = m_chunks[i];
        if (at >= chunk->base && at < chunk->base + ChunkRegions * 2 * m_page) {
            const std::size_t offset = static_cast<std::size_t>(at - chunk->base);
            inGuard = offset % (2 * m_page) >= m_page;
            return &chunk->regions[offset / (2 * m_page)];
        }
    }
    for (const Region& region : m_large) {
        const char* base = region.base;
        if (base != nullptr && at >= base && at < base + (region.pages + 1) * m_page) {
            inGuard = at >= base + region.pages * m_page;
            return &region;
        }
    }
    return nullptr;
}

GuardedReplies::Fault GuardedReplies::describe(const void* address) {
    Fault fault;
    const GuardedReplies* pool = sharedPool.load();
    bool inGuard = false;
    const Region* region = pool != nullptr ? pool->find(address, inGuard) : nullptr;
    const int state = region != nullptr ? region->state.load() : Free;
    if (state == Free || (!inGuard && state != Quarantined)) {
        return fault;
    }
    fault.misuse = inGuard ? Misuse::PastEnd : Misuse::AfterGiveBack;
    fault.length = region->length;
    std::memcpy(fault.command, region->command, sizeof fault.command);
    return fault;
}
