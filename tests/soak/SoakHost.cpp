#include "SoakHost.h"

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

SoakHost::~SoakHost() = default;

void TARN_THISCALL SoakHost::reserved() {
    breach("the reserved slot was called");
}

void SoakHost::found(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) {
        breach(std::string(ruleInfo(finding.rule).id) + " " + ruleInfo(finding.rule).name + ": " +
               finding.detail);
    }
}

SoakLedger SoakHost::ledger() const {
    SoakLedger out = m_ledger;
    const ReplyLedger::Counts& counts = checker().ledger().counts();
    out.commands = counts.commands;
    out.repliesIssued = counts.issued;
    out.repliesGivenBack = counts.givenBack;
    out.repliesKept = counts.kept;
    out.nullGiveBacks = counts.nullGiveBacks;
    return out;
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

AuditingHost::Answer SoakHost::answer(const ContractChecker::Send& sent, const char*) {
    m_last = sent.text;
    const std::string code = m_last.substr(0, 2);
    ++m_byCode[code];
    ++m_callCommands;
    const char* reply = code == "AS" ? nullptr : replyFor(code);
    return Answer{reply != nullptr ? std::optional<std::string>(reply) : std::nullopt, {}};
}

void SoakHost::beginCall(ContractChecker::Call call, int type) {
    m_callCommands = 0;
    AuditingHost::beginCall(call, type);
}
