// SimulatedHost: the ClientHost that panelhost hands to the component. Every
// send is judged by the host kit's ContractChecker, carried out against the
// World, and recorded; every finding becomes a breach record of the step in
// which it was made. What each step caused is kept in a StepLog for the
// scenario's expectations.
#pragma once

#include "ClientHost.h"
#include "ContractChecker.h"
#include "Rules.h"
#include "host/StepLog.h"
#include "host/World.h"
#include "records/RecordSink.h"

#include <string>
#include <vector>

class SimulatedHost : public ClientHost {
public:
    SimulatedHost(World& world, RecordSink& sink, std::size_t keep = 4096)
        : m_world(world), m_sink(sink), m_checker(keep) {}

    void TARN_THISCALL reserved() override;
    char* TARN_THISCALL send(const char* text, int mode) override;

    // Starts the log of the step at `line`; records made until the next step
    // carry that line.
    void beginStep(int line);
    // Brackets one call into the component (ContractChecker::beginCall, endCall).
    void beginCall(ContractChecker::Call call, int type = 0);
    void endCall(const char* result = nullptr);

    // Records a breach found outside the checker (an escaped exception, a leak).
    void report(const Finding& finding);
    const StepLog& log() const { return m_log; }
    // Breaches reported in the whole run.
    long breachCount() const { return m_breaches; }
    std::vector<int> registeredRouters() const { return m_checker.registeredRouters(); }

private:
    void reportAll(const std::vector<Finding>& findings);

    World& m_world;
    RecordSink& m_sink;
    ContractChecker m_checker;
    StepLog m_log;
    long m_breaches = 0;
};
