// Session: one life story of a component under the simulated host. It loads the
// library, then takes a scenario's items in order: facts change the World (and
// the object settings), steps become host events delivered through
// handleHostEvent (or the factory and the destructor), and expectations go to
// the ExpectationChecker with what the step before them caused. Every happening
// goes to the RecordSink as it happens, so a crash part-way still leaves the
// record of the steps before it. What the component writes to standard output is
// a record of its own (OutputTap), never part of panelhost's output.
#pragma once

#include "ConfigFolder.h"
#include "DebugTap.h"
#include "host/ComponentLibrary.h"
#include "host/ExpectationChecker.h"
#include "host/OutputTap.h"
#include "host/SimulatedHost.h"
#include "host/World.h"
#include "language/Scenario.h"
#include "records/RecordSink.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SessionOptions {
    std::string library;
    std::string ui; // the path handed to the factory: the folder of UI files
    std::string scenario;
    // Settled replies the host keeps allocated (ReplyLedger).
    std::size_t keep = ReplyLedger::DefaultKeep;
    bool states = false; // a state record after each step, for a page that draws the panels
};

class Session {
public:
    Session(const SessionOptions& options, RecordSink& sink);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads the library; false with a one-line reason.
    bool open(std::string& error);
    // After open failed: whether the loader refused the library's imports.
    bool loaderRefused() const { return m_loaderRefused; }
    // Plays one item. `event` numbers a generated event (fuzzing), -1 otherwise.
    void apply(const Item& item, long event = -1);
    // Checks the last expectations, destroys a live component, shows panel 1.
    void finish();
    // An exception left the component in the call under way, in a way no catch of
    // the host's sees (Microsoft's runtime): `what` it was.
    void exceptionEscaped(const std::string& what);
    // The process is ending in the middle of a step (the component aborted):
    // records what the step wrote to the debugger output and standard output.
    void salvage();
    // An error that stopped the run: the factory gave no component, or panelhost
    // could no longer capture what the component writes or write its settings.
    const std::string& fatal() const { return m_fatal; }
    // Whether that error (or open's) was panelhost's own failure to capture.
    bool ownFailure() const { return m_ownFailure; }
    // Breaches reported so far in the whole run.
    long breachCount() const { return m_host.breachCount(); }

    // At a terminal: each expectation is checked as soon as it is entered, a list
    // line (sent, event) against the entry of the step at its position.
    void setImmediate(bool immediate) { m_checker.setImmediate(immediate); }
    // For a person at a terminal: a panel record per panel, then the registered
    // routers, the running timers and whether a component is loaded.
    void emitShow();

private:
    void applyFact(const Fact& fact);
    void runStep(const Step& step, int line, bool implicit, long event);
    void deliver(const Step& step);
    void load();
    void destroy();
    // Waits a little while the process runs more threads than `baseline` (the
    // component's, ending or about to call the host late), then reports what
    // they sent meanwhile, and, when `leftIsBreach`, those still running.
    void awaitThreads(int baseline, bool leftIsBreach);
    // Makes one call into the component, bracketed by the contract checker; an
    // exception that escapes it is reported with its type and message.
    char* call(ContractChecker::Call kind, int type, const std::function<char*()>& body);
    char* event(int type, const std::function<char*()>& body);
    StepOutcome outcome() const;
    // Records what a step wrote: its debug text and its standard output.
    void emitWritten(int line, const std::string& debug);
    void emitPanel(const std::string& name, const Panel& panel);
    void emitState(int line, const std::map<std::string, Panel>& before);

    SessionOptions m_options;
    RecordSink& m_sink;
    World m_world;
    SimulatedHost m_host;
    DebugTap m_debug;
    std::unique_ptr<ConfigFolder> m_settings;
    std::unique_ptr<OutputTap> m_output; // the component's standard output, kept apart
    std::unique_ptr<ComponentLibrary> m_library;
    tarn_client_callback* m_component = nullptr;
    ExpectationChecker m_checker;
    std::optional<std::string> m_reply;
    std::string m_debugText;
    int m_lastLine = 0;
    int m_stepLine = 0;              // the step under way, 0 between steps
    const char* m_calling = nullptr; // the call into the component under way
    std::string m_fatal;
    bool m_ownFailure = false;
    bool m_loaderRefused = false;
    int m_threadsBeforeLibrary = 0; // threads running before the library was loaded
    int m_threadsBeforeCreate = 0;  // and before the component was created
    bool m_destroyed = false;       // the step destroyed the component
};
