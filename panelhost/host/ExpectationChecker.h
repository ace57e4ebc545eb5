// ExpectationChecker: checks a scenario's expectations against what the step
// before them caused, in the instance each is about. Expectations wait until
// the next line that is not one (or the end), then each gives one expect
// record: the lines of a list (sent, event, debug) of one instance together as
// one block, one expectation named by its lines; breaches through
// ExpectedBreaches. At a terminal each expectation is checked as soon as it is
// entered, a list line against the next entry of the step's list. It needs no
// component: it reads the instance's step log, its panels and the world.
#pragma once

#include "host/Panels.h"
#include "host/StepLog.h"
#include "host/World.h"
#include "language/Scenario.h"
#include "records/RecordSink.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the step before the expectations caused in one instance (with the
// commands the parent delivered to it in answer), and the world after it.
struct StepOutcome {
    const StepLog& log;
    const std::string& debug;
    const std::optional<std::string>& reply; // to the last parent command
    const World& world;
    const Panels& panels;     // the instance's
    std::vector<int> routers; // registered by the instance at the end of the step
};
// The outcome in the instance named (empty: the only one).
using OutcomeOf = std::function<StepOutcome(const std::string& instance)>;

class ExpectationChecker {
public:
    // `ui`: what "{ui}" stands for in expected texts.
    ExpectationChecker(std::string ui, RecordSink& sink) : m_ui(std::move(ui)), m_sink(sink) {}

    // Each expectation is checked as soon as it is added.
    void setImmediate(bool immediate) { m_immediate = immediate; }
    // A property read of a control no panel has is a problem of the scenario too.
    void setCheckControls(bool check) { m_checkControls = check; }
    // A new step has begun.
    void beginStep();
    // Adds one expectation (an item holding one); immediate: checks it at once.
    void add(const Item& expectation, const OutcomeOf& outcomeOf);
    // Checks every expectation still waiting.
    void check(const OutcomeOf& outcomeOf);

private:
    void expectList(const std::vector<const Item*>& group, const std::vector<std::string>& all);
    void expectOne(const Item& item, const StepOutcome& outcome);
    void emit(ExpectRecord record, const Item& item);
    std::string expand(const std::string& text) const;

    std::string m_ui;
    RecordSink& m_sink;
    bool m_immediate = false;
    bool m_checkControls = false;
    std::vector<Item> m_pending;
    // Immediate: list lines checked since the step, by instance.
    std::map<std::string, std::size_t> m_sentChecked, m_eventsChecked;
    std::set<long> m_covered; // breaches of the step already covered
};
