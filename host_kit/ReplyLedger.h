// ReplyLedger: a host's account of the replies it hands a component, holding the
// component to the give-back rules of ClientHost.h: the reply of RN comes back
// always (a null one with a null give-back), those of SD, XI and TG when they are
// not null, no other; each once, before the component sends its next command and
// so before the host call returns. Every fake host of ours keeps its replies here.
//
// Each reply is a fresh buffer from the process's GuardedReplies, so that a write
// past its NUL, or a read after it was given back, stops the component where it
// happens. Settled replies (given back, or kept by the host past the event that
// produced them) stay allocated for a while, so that their addresses are not
// handed out again at once and a late or second give-back is still told from a
// foreign one; beyond `keep` of them the oldest is released.
#pragma once

#include "GuardedReplies.h"
#include "Rules.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ReplyLedger {
public:
    // Keeps every settled reply until the ledger dies: addresses stay unique.
    static constexpr std::size_t KeepAll = SIZE_MAX;
    // What a host keeps unless told otherwise: far more than a component's late
    // give-backs reach back, few enough that a long run's memory stays flat.
    static constexpr std::size_t DefaultKeep = 4096;

    // `keep` 0 releases a reply as soon as it is settled, so that under a memory
    // checker a later read of it is a use after free.
    explicit ReplyLedger(std::size_t keep = DefaultKeep) : m_keep(keep) {}
    ReplyLedger(const ReplyLedger&) = delete;
    ReplyLedger& operator=(const ReplyLedger&) = delete;

    // The component is sending a command: a reply it still owes is a breach now.
    std::vector<Finding> beforeCommand();
    // Issues the reply to `command` (a fresh buffer, or null for no reply).
    char* issue(const std::string& command, const std::optional<std::string>& reply);
    // Takes a mode-5 give-back; what is wrong with it, if anything. The reply
    // stays readable for the host until seal(), or the end of the event.
    std::vector<Finding> giveBack(const char* pointer);
    // The replies given back since the last seal become untouchable.
    void seal();
    // The host call has returned: replies still owed are breaches, and the replies
    // the host kept are settled. Each breach is reported once; giving such a reply
    // back later is then accepted.
    std::vector<Finding> endOfEvent();

    // The command whose reply `pointer` is; empty for a pointer not (or no longer) known.
    std::string commandOf(const char* pointer) const;

    struct Counts {
        long commands = 0;      // commands seen
        long issued = 0;        // replies issued (not null)
        long givenBack = 0;     // replies given back once, as owed or not
        long kept = 0;          // replies that stay the host's, settled unreturned
        long nullGiveBacks = 0; // null give-backs
        long breaches = 0;      // findings reported
    };
    const Counts& counts() const { return m_counts; }
    // Replies the component owes now (a pending null lookup included).
    std::size_t owed() const { return m_outstanding.size() + m_nullLookups.size(); }

private:
    // Hands a reply's memory back to the pool.
    struct Release {
        void operator()(char* text) const { GuardedReplies::shared().release(text); }
    };
    struct Entry {
        std::unique_ptr<char, Release> text;
        std::string command;
        bool owed = false;
        bool givenBack = false;
        bool settled = false;
        bool sealPending = false; // given back, still readable for the host
    };

    void settle(const char* pointer);
    std::vector<Finding> reportOwed(const char* when);

    std::size_t m_keep;
    std::unordered_map<const char*, Entry> m_live; // issued and not yet released
    std::deque<const char*> m_settled;             // oldest first
    std::vector<const char*> m_thisEvent;          // issued since the last endOfEvent
    std::vector<const char*> m_outstanding;        // owed, not given back, not yet reported
    std::vector<std::string> m_nullLookups;        // RN without reply, owed a null give-back
    std::vector<const char*> m_unsealed;           // given back since the last seal
    Counts m_counts;
};
