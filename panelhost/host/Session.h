// Session: one life story of a component under the simulated host. It loads the
// library, then takes a scenario's items in order: facts change the World (and
// the object settings), steps become host events delivered through
// handleHostEvent (or the factory and the destructor), and expectations go to
// the ExpectationChecker with what the step before them caused. Every happening
// goes to the RecordSink as it happens, so a crash part-way still leaves the
// record of the steps before it. What the component writes to standard output is
// a record of its own (OutputTap), never part of panelhost's output.
//
// The host may hold several instances of the component from the one library,
// as a panel holds a button per instance: a scenario names them (child NAME)
// and addresses each step and expectation to one. Each instance has its own
// ClientHost (SimulatedHost): its panels, reply ledger, contract state and step
// log; the World, the object settings, the timers and the parent are shared.
// Children named and never created are created, in the order named, before the
// next step; one destroyed is created again by the next step addressed to it.
// After each step of the scenario the parent answers the events the children
// raised (Parent): every command it delivers is a step of its own, under the
// line of the step that caused it. A scenario that names no child plays one
// unnamed instance, whose records name none.
#pragma once

#include "ConfigFolder.h"
#include "DebugTap.h"
#include "host/ComponentLibrary.h"
#include "host/ExpectationChecker.h"
#include "host/OutputTap.h"
#include "host/Parent.h"
#include "host/SimulatedHost.h"
#include "host/World.h"
#include "language/Scenario.h"
#include "records/RecordSink.h"

#include <deque>
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
    // Settled replies each instance's host keeps allocated (ReplyLedger).
    std::size_t keep = ReplyLedger::DefaultKeep;
    bool states = false;  // a state record after each step, for a page that draws the panels
    long firstBreach = 0; // the id of the first breach (a live session's ids go on)
    int restart = 0;      // a live session's restarts of the component before this one
    // A person's scenario: a press or property read of a control no panel has
    // is a problem of the scenario (UnknownControl). Generated ones press such
    // controls on purpose.
    bool checkControls = false;
};

class Session {
public:
    // The most commands the parent delivers in answer to one step of the
    // scenario: past it, its rules and the children answer each other without end.
    static const int MostDelivered = 1000;

    Session(const SessionOptions& options, RecordSink& sink);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads the library; false with a one-line reason.
    bool open(std::string& error);
    // After open failed: whether the loader refused the library's imports.
    bool loaderRefused() const { return m_loaderRefused; }
    // Plays one item, addressed as ChildAddressing resolved it. `event` numbers
    // a generated event (fuzzing), -1 otherwise.
    void apply(const Item& item, long event = -1);
    // Checks the last expectations, destroys every live instance, shows each
    // one's panel 1.
    void finish();
    // An exception left the component in the call under way, in a way no catch of
    // the host's sees (Microsoft's runtime): `what` it was.
    void exceptionEscaped(const std::string& what);
    // The process is ending in the middle of a step (the component aborted):
    // records what the step wrote to the debugger output and standard output.
    void salvage();
    // An error that stopped the run: the factory gave no component, the parent's
    // rules went on without end, or panelhost could no longer capture what the
    // component writes or write its settings.
    const std::string& fatal() const { return m_fatal; }
    // Whether that error (or open's) was panelhost's own failure to capture.
    bool ownFailure() const { return m_ownFailure; }
    // Breaches reported so far in the whole run, by every instance.
    long breachCount() const { return m_breachIds; }

    // Checks the expectations still waiting for the line after them (before
    // lines come one at a time).
    void checkWaiting();
    // At a terminal: each expectation is checked as soon as it is entered, a list
    // line (sent, event) against the entry of the step at its position.
    void setImmediate(bool immediate) { m_checker.setImmediate(immediate); }
    // For a person at a terminal, per instance: a panel record per panel, then
    // the registered routers, the running timers and whether it is loaded.
    void emitShow();

private:
    // One instance of the component: its host, the component the factory gave
    // it, and what its steps since the scenario's last step gave back.
    struct Instance {
        Instance(World& world, RecordSink& sink, const std::string& name, long& breachIds,
                 std::size_t keep)
            : host(world, sink, name, breachIds, keep) {}
        SimulatedHost host;
        tarn_client_callback* component = nullptr;
        bool begun = false; // created once (or destroyed before it ever was)
        std::optional<std::string> reply;
        std::string debug;
    };
    // How a step came to be played.
    struct How {
        bool implicit = false;              // a load or destroy the scenario did not write
        const Instance* raisedBy = nullptr; // delivered by the parent: whose event
        std::string raised;                 // and which
    };

    void applyFact(const Fact& fact, const Item& item);
    void addInstance(const std::string& name);
    Instance& instance(const std::string& name);
    void play(const Step& step, const Item& item, long event);
    void relay(int line, long event);
    void runStep(Instance& instance, const Step& step, int line, const How& how, long event);
    void deliver(Instance& instance, const Step& step);
    void load(Instance& instance);
    void destroy(Instance& instance);
    bool anyLive() const;
    // Waits a little while the process runs more threads than `baseline` (the
    // component's, ending or about to call the host late), then reports what
    // they sent meanwhile to the host they sent it to, and, when `left` is
    // given, those still running as its breach.
    void awaitThreads(int baseline, Instance* left);
    // Makes one call into the component, bracketed by the contract checker; an
    // exception that escapes it is reported with its type and message.
    char* call(Instance& instance, ContractChecker::Call kind, int type,
               const std::function<char*()>& body);
    char* event(Instance& instance, int type, const std::function<char*()>& body);
    StepOutcome outcome(const std::string& name);
    // Records what a step wrote: its debug text and its standard output.
    void emitWritten(const Instance& instance, int line, const std::string& debug);
    void emitPanel(const Instance& instance, const std::string& name, const Panel& panel);
    void emitState(const Instance& instance, int line, const std::map<std::string, Panel>& before);

    SessionOptions m_options;
    RecordSink& m_sink;
    World m_world;
    Parent m_parent;
    long m_breachIds = 0;
    std::vector<std::unique_ptr<Instance>> m_instances; // in the order named
    bool m_named = false;
    // Control facts that name no child: every child's, those named later too.
    std::vector<Fact> m_sharedControls;
    std::deque<std::pair<Instance*, std::string>> m_raised; // for the parent, in order
    DebugTap m_debug;
    std::unique_ptr<ConfigFolder> m_settings;
    std::unique_ptr<OutputTap> m_output; // the component's standard output, kept apart
    std::unique_ptr<ComponentLibrary> m_library;
    ExpectationChecker m_checker;
    std::optional<int> m_stepLine;      // the step under way, none between steps
    Instance* m_stepInstance = nullptr; // and its instance
    const char* m_calling = nullptr;    // the call into the component under way
    std::string m_fatal;
    bool m_ownFailure = false;
    bool m_loaderRefused = false;
    int m_threadsBeforeLibrary = 0;      // threads running before the library was loaded
    int m_threadsBeforeCreate = 0;       // and before the first of the live instances was created
    Instance* m_lastDestroyed = nullptr; // the step destroyed the last live instance
};
