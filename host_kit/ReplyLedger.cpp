#include "ReplyLedger.h"

#include "CommandTable.h"

#include <algorithm>
#include <cstdio>

std::vector<Finding> ReplyLedger::reportOwed(const char* when) {
    std::vector<Finding> findings;
    for (const char* pointer : m_outstanding) {
        findings.push_back({Rule::ReplyNotGivenBack, m_live.at(pointer).command,
                            std::string("the reply was not given back before ") + when});
    }
    for (const std::string& command : m_nullLookups) {
        findings.push_back({Rule::NullLookupNotGivenBack, command,
                            std::string("the lookup had no reply and no null give-back came "
                                        "before ") +
                                when});
    }
    m_outstanding.clear();
    m_nullLookups.clear();
    m_counts.breaches += static_cast<long>(findings.size());
    return findings;
}

std::vector<Finding> ReplyLedger::beforeCommand() {
    ++m_counts.commands;
    return reportOwed("the next command");
}

char* ReplyLedger::issue(const std::string& command, const std::optional<std::string>& reply) {
    const ReplyOwed owed = replyOwedFor(command.substr(0, 2));
    if (!reply) {
        if (owed == ReplyOwed::Always) {
            m_nullLookups.push_back(command);
        }
        return nullptr;
    }
    Entry entry;
    entry.text.reset(GuardedReplies::shared().place(*reply, command));
    entry.command = command;
    entry.owed = owed != ReplyOwed::Never;
    char* pointer = entry.text.get();
    // A released address may come back from the allocator: the old entry is gone.
    m_live[pointer] = std::move(entry);
    m_thisEvent.push_back(pointer);
    if (owed != ReplyOwed::Never) {
        m_outstanding.push_back(pointer);
    }
    ++m_counts.issued;
    return pointer;
}

std::vector<Finding> ReplyLedger::giveBack(const char* pointer) {
    if (pointer == nullptr) {
        // Always legal; it settles a lookup that had no reply.
        ++m_counts.nullGiveBacks;
        if (!m_nullLookups.empty()) {
            m_nullLookups.erase(m_nullLookups.begin());
        }
        return {};
    }
    std::vector<Finding> findings;
    const auto found = m_live.find(pointer);
    if (found == m_live.end()) {
        char address[32];
        std::snprintf(address, sizeof address, "%p", static_cast<const void*>(pointer));
        findings.push_back(
            {Rule::ForeignGiveBack, "", std::string("pointer ") + address + " was never issued"});
    } else if (found->second.givenBack) {
        findings.push_back(
            {Rule::ReplyGivenBackTwice, found->second.command, "the reply was already given back"});
    } else {
        Entry& entry = found->second;
        entry.givenBack = true;
        ++m_counts.givenBack;
        if (!entry.owed) {
            findings.push_back(
                {Rule::UnowedGiveBack, entry.command,
                 "the reply of " + entry.command.substr(0, 2) + " stays the host's"});
        }
        m_outstanding.erase(std::remove(m_outstanding.begin(), m_outstanding.end(), pointer),
                            m_outstanding.end());
        entry.sealPending = true;
        m_unsealed.push_back(pointer);
        settle(pointer);
    }
    m_counts.breaches += static_cast<long>(findings.size());
    return findings;
}

void ReplyLedger::seal() {
    for (const char* pointer : m_unsealed) {
        const auto found = m_live.find(pointer);
        if (found != m_live.end() && found->second.sealPending) {
            found->second.sealPending = false;
            GuardedReplies::shared().givenBack(pointer);
        }
    }
    m_unsealed.clear();
}

std::vector<Finding> ReplyLedger::endOfEvent() {
    seal();
    std::vector<Finding> findings = reportOwed("the host call returned");
    for (const char* pointer : m_thisEvent) {
        const auto found = m_live.find(pointer);
        if (found != m_live.end() && !found->second.settled) {
            if (!found->second.owed) {
                ++m_counts.kept;
            }
            settle(pointer);
        }
    }
    m_thisEvent.clear();
    return findings;
}

void ReplyLedger::settle(const char* pointer) {
    Entry& entry = m_live.at(pointer);
    if (entry.settled) {
        return;
    }
    entry.settled = true;
    m_settled.push_back(pointer);
    while (m_settled.size() > m_keep) {
        // A reply released before it was sealed is still quarantined first.
        const auto oldest = m_live.find(m_settled.front());
        if (oldest->second.sealPending) {
            GuardedReplies::shared().givenBack(oldest->first);
        }
        m_live.erase(oldest);
        m_settled.pop_front();
    }
}

std::string ReplyLedger::commandOf(const char* pointer) const {
    const auto found = m_live.find(pointer);
    return found == m_live.end() ? std::string() : found->second.command;
}
