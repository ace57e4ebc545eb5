// SoakHost: the soak's panel host. Its replies are drawn from a seeded generator,
// so a run is reproducible from its seed: resolutions mostly succeed, names and
// level lists come or do not, and any command may get no reply. The host kit's
// contract checker holds the component to the host contract and keeps the ledger
// of what was issued and what came back; the soak counts every finding instead
// of stopping. Its own memory does not grow with the
// number of commands: a reply given back is released at once, and those it keeps
// when the host call that produced them ends.
#pragma once

#include "AuditingHost.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// SplitMix64: small, fast and the same on every platform and library.
class SoakRandom {
public:
    explicit SoakRandom(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next();
    // Uniform enough in [0, bound) for the soak's small bounds.
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

struct SoakLedger {
    long commands = 0;
    long repliesIssued = 0;
    long repliesGivenBack = 0;
    long repliesKept = 0;   // replies of commands whose replies never come back
    long nullGiveBacks = 0; // null RN replies given back, as they must be
    long breaches = 0;
    std::vector<std::string> firstBreaches; // the first few, for the report
};

class SoakHost final : public AuditingHost {
public:
    // Each reply given back is released at once.
    explicit SoakHost(SoakRandom& random) : AuditingHost(0), m_random(random) {}
    ~SoakHost();

    void TARN_THISCALL reserved() override;

    // Brackets every call into the component; `result` is what handleHostEvent
    // returned.
    void beginCall(ContractChecker::Call call, int type = 0);

    SoakLedger ledger() const;
    // Commands sent so far, by their two-letter code.
    const std::map<std::string, long>& commandsByCode() const { return m_byCode; }
    long commandsThisCall() const { return m_callCommands; }

private:
    Answer answer(const ContractChecker::Send& sent, const char* text) override;
    void found(const std::vector<Finding>& findings) override;
    void breach(const std::string& what);
    const char* replyFor(const std::string& code);

    SoakRandom& m_random;
    SoakLedger m_ledger; // the breaches; the counts come from the checker's ledger
    std::map<std::string, long> m_byCode;
    long m_callCommands = 0;
    std::string m_last;
};
