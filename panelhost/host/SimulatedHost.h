// SimulatedHost: the ClientHost that panelhost hands to the component. Every
// send is audited (the command's form, the give-back rules through the kit's
// reply ledger, calls after the shutdown notice), carried out against the World,
// and recorded; what each step caused is kept in a StepLog for the scenario's
// expectations.
#pragma once

#include "ClientHost.h"
#include "ReplyLedger.h"
#include "Rules.h"
#include "host/StepLog.h"
#include "host/World.h"
#include "records/RecordSink.h"

#include <string>
#include <vector>

class SimulatedHost : public ClientHost {
public:
    SimulatedHost(World& world, RecordSink& sink) : m_world(world), m_sink(sink) {}

    void TARN_THISCALL reserved() override;
    char* TARN_THISCALL send(const char* text, int mode) override;

    // Starts the log of the step at `line`; records made until the next step
    // carry that line.
    void beginStep(int line);
    // A host call has returned: replies still owed are breaches.
    void endEvent();
    // A new component object is about to be created.
    void beginLife();
    // The component's destructor has returned: it must have sent AS, and the
    // host drops the router registrations it left, reporting each.
    void endDestruction();

    // Records a breach found outside send (an escaped exception).
    void report(const Finding& finding);
    const StepLog& log() const { return m_log; }
    // Breaches reported in the whole run.
    long breachCount() const { return m_breaches; }

private:
    char* command(const char* text);
    void giveBack(const char* pointer);

    World& m_world;
    RecordSink& m_sink;
    ReplyLedger m_ledger;
    StepLog m_log;
    long m_breaches = 0;
    bool m_shutdown = false;
};
