#include "ReplyLedger.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

char* ReplyLedger::issue(const std::string& command, const std::optional<std::string>& reply,
                         Owed owed) {
    if (!reply) {
        if (owed == Owed::Always) {
            m_nullLookups.push_back(command);
        }
        return nullptr;
    }
    Entry entry;
    entry.text.reset(new char[reply->size() + 1]);
    std::memcpy(entry.text.get(), reply->c_str(), reply->size() + 1);
    entry.command = command;
    entry.owed = owed != Owed::Never;
    char* pointer = entry.text.get();
    m_byPointer[pointer] = m_entries.size();
    if (entry.owed) {
        m_outstanding.push_back(m_entries.size());
    }
    m_entries.push_back(std::move(entry));
    return pointer;
}

std::vector<Finding> ReplyLedger::giveBack(const char* pointer) {
    if (pointer == nullptr) {
        // A null give-back is always legal; it settles an RN that had no reply.
        if (!m_nullLookups.empty()) {
            m_nullLookups.erase(m_nullLookups.begin());
        }
        return {};
    }
    const auto found = m_byPointer.find(pointer);
    if (found == m_byPointer.end()) {
        char address[32];
        std::snprintf(address, sizeof address, "%p", static_cast<const void*>(pointer));
        return {
            {Rule::ForeignGiveBack, "", std::string("pointer ") + address + " was never issued"}};
    }
    Entry& entry = m_entries[found->second];
    if (entry.givenBack) {
        return {{Rule::ReplyGivenBackTwice, entry.command, "the reply was already given back"}};
    }
    entry.givenBack = true;
    if (!entry.owed) {
        return {{Rule::UnowedGiveBack, entry.command,
                 "the reply of " + entry.command.substr(0, 2) + " stays the host's"}};
    }
    m_outstanding.erase(std::remove(m_outstanding.begin(), m_outstanding.end(), found->second),
                        m_outstanding.end());
    return {};
}

std::vector<Finding> ReplyLedger::endOfEvent() {
    std::vector<Finding> findings;
    for (std::size_t index : m_outstanding) {
        findings.push_back({Rule::ReplyNotGivenBack, m_entries[index].command,
                            "the reply was not given back before the event returned"});
    }
    for (const std::string& command : m_nullLookups) {
        findings.push_back({Rule::NullLookupNotGivenBack, command,
                            "the lookup had no reply and no null give-back followed"});
    }
    m_outstanding.clear();
    m_nullLookups.clear();
    return findings;
}

std::string ReplyLedger::commandOf(const char* pointer) const {
    const auto found = m_byPointer.find(pointer);
    return found == m_byPointer.end() ? std::string() : m_entries[found->second].command;
}
