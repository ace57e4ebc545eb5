// ExpectationChecker: checks a scenario's expectations against what the step
// before them caused. Expectations wait until the next line that is not one (or
// the end), then each gives one expect record: the lines of a list (sent, event,
// debug) together as one block, one expectation named by its lines; breaches through
// ExpectedBreaches. At a terminal each expectation is checked as soon as it is
// entered, a list line against the next entry of the step's list. It needs no
// component: it reads the step's log and the world.
#pragma once

#include "host/StepLog.h"
#include "host/World.h"
#include "language/Scenario.h"
#include "records/RecordSink.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// What the step before the expectations caused, and the world after it.
struct StepOutcome {
    const StepLog& log;
    const std::string& debug;
    const std::optional<std::string>& reply;
    const World& world;
    std::vector<int> routers; // registered at the end of the step
};

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
    void add(const Item& expectation, const StepOutcome& outcome);
    // Checks every expectation still waiting.
    void check(const StepOutcome& outcome);

private:
    void expectList(const std::vector<const Item*>& group, const std::vector<std::string>& all);
    void expectOne(const Item& item, const StepOutcome& outcome);
    std::string expand(const std::string& text) const;

    std::string m_ui;
    RecordSink& m_sink;
    bool m_immediate = false;
    bool m_checkControls = false;
    std::vector<Item> m_pending;
    std::size_t m_sentChecked = 0; // immediate: list lines checked since the step
    std::size_t m_eventsChecked = 0;
    std::set<long> m_covered; // breaches of the step already covered
};
