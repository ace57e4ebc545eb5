// ScenarioRecorder: a scenario written back with what happened as its
// expectations (--record), made from the run's records. Each step the scenario
// wrote gets the commands it sent and the events it raised to the parent (none
// included), a parent command's reply, its debug output where there was any
// (or where the scenario expected some) and a line per breach, in the
// scenario's own escapes with the UI folder as {ui}. In a scenario that names
// instances, so does every other instance that the parent's commands reached
// in answer to the step, on lines that name it, in the order named. They
// stand where the step's first expectation stood, or right after the step. The scenario's
// property, routers and timers expectations keep their place, rewritten with
// what was found where they failed; world facts, steps, comments and blank
// lines stay as they were.
#pragma once

#include "language/Scenario.h"
#include "records/Records.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class ScenarioRecorder {
public:
    // `text`: the scenario as read, which `scenario` was parsed from; `ui`: the
    // folder that {ui} stands for.
    ScenarioRecorder(const Scenario& scenario, std::string text, std::string ui);

    void see(const Record& record);
    // The scenario with what happened as its expectations; `outcome` gets the
    // counts of what it holds (its file and status are the caller's).
    std::string recorded(RecordedRecord& outcome) const;

private:
    // What one step of the scenario did.
    struct Happened {
        std::vector<std::string> sent, events;
        bool command = false;
        std::optional<std::string> reply;
        std::string debug;
        std::vector<std::string> breaches; // rule ids
        bool ended = false;
    };

    // The lines of one instance's part in a step, each after `head` (the
    // indent, and the instance where the line must name it).
    std::vector<std::string> block(const Happened& happened, const std::string& head,
                                   bool debugExpected) const;
    std::string rewritten(const Item& item, const std::string& indent) const;
    std::string marked(const std::string& text) const;

    const Scenario& m_scenario;
    std::string m_text;
    std::string m_ui;
    // By the step's line and instance: the scenario's step, with the commands
    // the parent delivered to that instance in answer to it.
    std::map<std::pair<int, std::string>, Happened> m_steps;
    Happened* m_open = nullptr; // null in an implicit step
    int m_unrecordable = 0;
    std::map<int, ExpectRecord> m_expects; // by line
};

// A run whose component crashed or hung before all its lines were played is
// not recorded: what those lines would have caused is not known. True when
// `summary` says so, with `outcome` then not written and the reason.
bool leftLinesUnplayed(const SummaryRecord& summary, RecordedRecord& outcome);
