// SimulatedHost: the ClientHost that panelhost hands to the component. Every
// send is judged by the host kit's contract checker (AuditingHost), carried out
// against the World, and recorded; every finding becomes a breach record of the
// step in which it was made. What each step caused is kept in a StepLog for the
// scenario's expectations.
#pragma once

#include "AuditingHost.h"
#include "Rules.h"
#include "host/StepLog.h"
#include "host/World.h"
#include "records/RecordSink.h"

#include <optional>
#include <string>
#include <vector>

class SimulatedHost final : public AuditingHost {
public:
    SimulatedHost(World& world, RecordSink& sink, std::size_t keep = ReplyLedger::DefaultKeep)
        : AuditingHost(keep), m_world(world), m_sink(sink) {}

    void TARN_THISCALL reserved() override;

    // Starts the log of the step at `line` (implicit: a step the scenario did
    // not write); records made until the next step carry that line.
    void beginStep(int line, bool implicit = false);

    // Records a breach found outside the checker (an escaped exception, a leak).
    void report(const Finding& finding);
    const StepLog& log() const { return m_log; }
    // Breaches reported in the whole run.
    long breachCount() const { return m_breaches; }
    // The run began before this host (a live session's earlier components):
    // its breaches are numbered on from `first`.
    void numberBreachesFrom(long first) { m_breaches = first; }
    std::vector<int> registeredRouters() const { return checker().registeredRouters(); }

private:
    Answer answer(const ContractChecker::Send& sent, const char* text) override;
    void found(const std::vector<Finding>& findings) override;
    void noCommand(const ContractChecker::Send& sent, const char* text, int mode) override;
    void replied(const ContractChecker::Send& sent, const char* reply) override;

    World& m_world;
    RecordSink& m_sink;
    StepLog m_log;
    std::optional<std::string> m_reply; // the world's reply to the command under way
    long m_breaches = 0;
};
