// SimulatedHost: the ClientHost that panelhost hands to one instance of the
// component. Every send is judged by the host kit's contract checker
// (AuditingHost), carried out against the instance's own panels and the World
// that every instance shares, and recorded under the instance's name; every
// finding becomes a breach record of the step in which it was made. What each
// step caused is kept in a StepLog for the scenario's expectations, and the
// events raised to the parent wait for the parent to take them.
#pragma once

#include "AuditingHost.h"
#include "Rules.h"
#include "host/Panels.h"
#include "host/StepLog.h"
#include "host/World.h"
#include "records/RecordSink.h"

#include <optional>
#include <string>
#include <vector>

class SimulatedHost final : public AuditingHost {
public:
    // The only instance of a run; its records name none.
    SimulatedHost(World& world, RecordSink& sink, std::size_t keep = ReplyLedger::DefaultKeep)
        : SimulatedHost(world, sink, std::string(), m_ownIds, keep) {}
    // One of several instances: its records carry `instance`, and `breachIds`
    // (the caller's, outliving the host) numbers the breaches of every instance
    // of the run together.
    SimulatedHost(World& world, RecordSink& sink, std::string instance, long& breachIds,
                  std::size_t keep)
        : AuditingHost(keep), m_world(world), m_sink(sink), m_instance(std::move(instance)),
          m_breaches(breachIds) {}

    void TARN_THISCALL reserved() override;

    // Starts a new log at the step at `line` (implicit: a step the scenario did
    // not write); records made until the next step carry that line. A step the
    // log goes on through (one the parent delivered in answer to the step before
    // it) only moves the line on: continueStep.
    void beginStep(int line, bool implicit = false);
    void continueStep(int line) {
        m_log.line = line;
        m_log.implicit = false;
    }

    // Records a breach found outside the checker (an escaped exception, a leak).
    void report(const Finding& finding);
    const StepLog& log() const { return m_log; }
    const std::string& instance() const { return m_instance; }
    Panels& panels() { return m_panels; }
    const Panels& panels() const { return m_panels; }
    // The events raised to the parent and not yet taken from here, in order.
    std::vector<std::string>& raised() { return m_raised; }
    // Breaches reported in the whole run, by every instance.
    long breachCount() const { return m_breaches; }
    std::vector<int> registeredRouters() const { return checker().registeredRouters(); }

private:
    Answer answer(const ContractChecker::Send& sent, const char* text) override;
    void found(const std::vector<Finding>& findings) override;
    void noCommand(const ContractChecker::Send& sent, const char* text, int mode) override;
    void replied(const ContractChecker::Send& sent, const char* reply) override;

    World& m_world;
    RecordSink& m_sink;
    std::string m_instance;
    long m_ownIds = 0; // the breach numbers of an only instance
    long& m_breaches;
    Panels m_panels;
    StepLog m_log;
    std::vector<std::string> m_raised;
    std::optional<std::string> m_reply; // the world's reply to the command under way
};
