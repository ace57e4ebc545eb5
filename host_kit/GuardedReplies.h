// GuardedReplies: the memory of the replies a host hands a component, placed so
// that a component that misuses one stops at the access that does it, in the
// step that does it, instead of corrupting the host's heap unseen:
//
// - each reply ends, with its NUL, at the end of a page, and the page after it
//   can be neither read nor written: a write (or read) past the NUL faults;
// - a reply given back is made untouchable and stays so while it is among the
//   last Quarantine replies given back: a read after give-back faults.
//
// The pages are the pool's, one reply to a page (more for a reply longer than
// one), reused once the host has released a reply and it has left the
// quarantine, so what the pool holds stays bounded. describe() tells, from the
// address of a fault alone, which reply it touched and how; a crash handler
// calls it. One pool serves the whole process (shared()), every ledger in it.
// A reply the pool cannot place (its page tables full, or no memory) is an
// ordinary copy on the heap, unguarded.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

class GuardedReplies {
public:
    // The replies given back that stay untouchable, newest first.
    static constexpr std::size_t Quarantine = 256;
    // What describe() keeps of the command a reply answers.
    static constexpr std::size_t CommandKept = 120;

    static GuardedReplies& shared();

    // A copy of `text` and its NUL for the component; `command` is what it
    // answers. Owned by the pool until release().
    char* place(const std::string& text, const std::string& command);
    // The component gave `reply` back: untouchable from now on, for a while.
    void givenBack(const char* reply);
    // The host is done with `reply`; its pages are reused once out of quarantine.
    void release(const char* reply);

    enum class Misuse { None, PastEnd, AfterGiveBack };
    struct Fault {
        Misuse misuse = Misuse::None;
        std::size_t length = 0;         // the reply's, without its NUL
        char command[CommandKept] = {}; // what the reply answered, cut to fit
    };
    // What a fault at `address` did, and to which reply; None when the address
    // is no reply's. Allocates nothing and takes no lock: a crash handler's.
    static Fault describe(const void* address);

    GuardedReplies(const GuardedReplies&) = delete;
    GuardedReplies& operator=(const GuardedReplies&) = delete;

private:
    // One reply's pages: `pages` of data, then one untouchable page.
    struct Region {
        char* base = nullptr;
        std::size_t pages = 1;
        std::atomic<int> state{0}; // State
        std::size_t length = 0;
        bool released = false; // released while in quarantine: freed when it leaves
        Region* nextFree = nullptr;
        char command[CommandKept] = {};
    };
    enum State { Free, Live, Quarantined };
    // Single-page regions, made a chunk at a time and never unmapped. The pool's
    // own records live in pages of its own too, not on the heap, so that a
    // reading of the heap in use sees the component's memory, not the host's.
    // Each region of a chunk is two mappings to the system (its page and its
    // guard), and a process may hold some 65,000: the chunks stay well below.
    static constexpr std::size_t ChunkRegions = 64;
    static constexpr std::size_t MostChunks = 256;
    struct Chunk {
        char* base = nullptr;
        Region regions[ChunkRegions];
    };
    // Regions of replies longer than a page, each mapped for itself.
    static constexpr std::size_t MostLarge = 256;

    GuardedReplies();
    Region* smallRegion();
    Region* largeRegion(std::size_t pages);
    void free(Region& region);
    const Region* find(const void* address, bool& inGuard) const;

    std::mutex m_lock;
    std::size_t m_page;
    Chunk* m_chunks[MostChunks] = {};
    std::atomic<std::size_t> m_chunkCount{0};
    Region m_large[MostLarge];
    Region* m_free = nullptr; // single-page regions ready for a reply
    std::unordered_map<const char*, Region*> m_placed;
    Region* m_quarantine[Quarantine] = {}; // a ring, the oldest at m_oldest
    std::size_t m_oldest = 0;
    std::size_t m_quarantined = 0;
};
