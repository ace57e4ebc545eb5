// ReplyLedger: the host's account of the replies it hands out. Every reply text
// is issued as a fresh buffer that lives until the session ends, so addresses
// stay unique and a late or foreign give-back can be told apart. A reply is
// owed back with mode 5 when its command reads it (RN always, even a null one;
// SD, XI, TG when not null); the replies of every other command stay the host's.
// At the end of each host event, every reply still owed is a breach.
#pragma once

#include "GiveBackRule.h"
#include "Rules.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ReplyLedger {
public:
    // How a command's reply must come back.
    using Owed = ReplyOwed;
    static Owed owedFor(const std::string& code) { return replyOwedFor(code); }

    // Issues the reply of `command` (a new buffer, or null for no reply).
    char* issue(const std::string& command, const std::optional<std::string>& reply, Owed owed);
    // Takes a mode-5 give-back and returns what is wrong with it, if anything.
    std::vector<Finding> giveBack(const char* pointer);
    // The breaches of the event that just returned: replies still owed. They are
    // reported once; giving them back later is then accepted.
    std::vector<Finding> endOfEvent();

    // The command whose reply `pointer` is; empty for a pointer never issued.
    std::string commandOf(const char* pointer) const;

private:
    struct Entry {
        std::unique_ptr<char[]> text;
        std::string command;
        bool owed = false;
        bool givenBack = false;
    };

    std::vector<Entry> m_entries;
    std::map<const char*, std::size_t> m_byPointer;
    std::vector<std::size_t> m_outstanding; // owed entries not yet given back
    std::vector<std::string> m_nullLookups; // RN commands without reply, owed a null
};
