#include "SoakHost.h"

#include "GiveBackRule.h"

#include <cstring>

namespace {
const char* const levelLists[] = {"5,-", "1,2,3", "-,-", "", "7", "x,12,-3"};
const char* const names[] = {"Studio A", "", "VT 1", "A name long enough for the heap"};
const char* const resolutions[] = {"1 2", "2 7",   "3 12", "5 3", "0 4", "1000 1",
                                   "4 0", "'3' 5", " 2 9", "",    "x"};
} // namespace

std::uint64_t SoakRandom::next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

SoakHost::~SoakHost() {
    for (char* reply : m_kept) {
        delete[] reply;
    }
    delete[] m_pending;
}

void SoakHost::reserved() {
    breach("the reserved slot was called");
}

void SoakHost::breach(const std::string& what) {
    ++m_ledger.breaches;
    if (m_ledger.firstBreaches.size() < 10) {
        m_ledger.firstBreaches.push_back(what + " (after " + m_last + ")");
    }
}

// A reply for a command of `code`, or null for none.
const char* SoakHost::replyFor(const std::string& code) {
    if (m_random.chance(10)) {
        return nullptr;
    }
    if (code == "SD") {
        return resolutions[m_random.below(sizeof resolutions / sizeof *resolutions)];
    }
    if (code == "RN") {
        return m_random.chance(50)
                   ? levelLists[m_random.below(sizeof levelLists / sizeof *levelLists)]
                   : names[m_random.below(sizeof names / sizeof *names)];
    }
    if (code == "PS" || code == "TG" || code == "XI") {
        return "ok";
    }
    return m_random.chance(50) ? "ok" : nullptr;
}

char* SoakHost::issue(const char* text) {
    const std::size_t length = std::strlen(text);
    char* reply = new char[length + 1];
    std::memcpy(reply, text, length + 1);
    ++m_ledger.repliesIssued;
    return reply;
}

char* SoakHost::send(const char* text, int mode) {
    if (m_shutDown) {
        breach("a text after the shutdown notice");
    }
    if (mode == ClientHost::GiveBack) {
        if (!m_pendingWanted || text != m_pending) {
            breach("a give-back of a reply that was not just given");
            return nullptr;
        }
        if (text == nullptr) {
            ++m_ledger.nullGiveBacks;
        } else {
            ++m_ledger.repliesGivenBack;
        }
        delete[] m_pending;
        m_pending = nullptr;
        m_pendingWanted = false;
        return nullptr;
    }
    if (mode != ClientHost::Command || text == nullptr) {
        breach("a null command or an unknown mode");
        return nullptr;
    }
    if (m_pendingWanted) {
        breach("a reply not given back before the next command");
        delete[] m_pending;
        m_pending = nullptr;
        m_pendingWanted = false;
    }
    m_last.assign(text);
    const std::string code = m_last.substr(0, 2);
    ++m_ledger.commands;
    ++m_byCode[code];
    ++m_callCommands;
    if (code == "AS") {
        if (!m_destroying) {
            breach("the shutdown notice outside destruction");
        }
        m_shutDown = true;
        return nullptr;
    }
    const char* answer = replyFor(code);
    char* reply = answer != nullptr ? issue(answer) : nullptr;
    if (replyIsOwed(code, reply == nullptr)) {
        m_pending = reply;
        m_pendingWanted = true;
    } else if (reply != nullptr) {
        m_kept.push_back(reply);
        ++m_ledger.repliesKept;
    }
    return reply;
}

void SoakHost::beginCall(bool destroying) {
    m_destroying = destroying;
    m_callCommands = 0;
}

void SoakHost::endCall() {
    if (m_pendingWanted) {
        breach("a reply still held when the host call returned");
        delete[] m_pending;
        m_pending = nullptr;
        m_pendingWanted = false;
    }
    for (char* reply : m_kept) {
        delete[] reply;
    }
    m_kept.clear();
    if (m_destroying && !m_shutDown) {
        breach("destruction without the shutdown notice");
    }
}
