// AuditingHost: the base of every host of ours that holds a component to the
// host contract: panelhost's simulated host, the tests' recording host, the
// soak's host and the fuzzer's. Each send goes through the ContractChecker
// before the host acts on it; a command the host may act on gets the reply the
// host gives (answer), issued through the checker's ledger; every finding goes
// to the host (found) in the order made: a send's after what the host makes of
// the send itself, then what the host's own world found wrong with it. beginCall
// and endCall bracket each call into the component the same way. What becomes
// of a finding (reported, counted, the run stopped) and what a command gets are
// the host's.
#pragma once

#include "ClientHost.h"
#include "ContractChecker.h"

#include <optional>
#include <string>
#include <vector>

class AuditingHost : public ClientHost {
public:
    AuditingHost(const AuditingHost&) = delete;
    AuditingHost& operator=(const AuditingHost&) = delete;

    char* TARN_THISCALL send(const char* text, int mode) final;

    // Brackets one call into the component (ContractChecker::beginCall, endCall).
    void beginCall(ContractChecker::Call call, int type = 0);
    void endCall(const char* result = nullptr);
    // Takes what the component's other threads sent while no call was running.
    void collectLate();

    const ContractChecker& checker() const { return m_checker; }

protected:
    // `keep`: how many settled replies stay allocated (ReplyLedger).
    explicit AuditingHost(std::size_t keep = ReplyLedger::DefaultKeep) : m_checker(keep) {}
    ~AuditingHost() = default;

    // What the host gives a command the checker let it act on (`text` as sent,
    // possibly null).
    struct Answer {
        std::optional<std::string> reply; // none: a null reply
        std::vector<Finding> findings;    // what the host's world found wrong with it
    };
    virtual Answer answer(const ContractChecker::Send& sent, const char* text) = 0;
    // Findings made now, in the order made.
    virtual void found(const std::vector<Finding>& findings) = 0;
    // A send that is no command to act on: a give-back, or one the checker refused.
    virtual void noCommand(const ContractChecker::Send& /*sent*/, const char* /*text*/,
                           int /*mode*/) {}
    // A command's reply has been issued (null for none), before its findings.
    virtual void replied(const ContractChecker::Send& /*sent*/, const char* /*reply*/) {}

private:
    ContractChecker m_checker;
};
