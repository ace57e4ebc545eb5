// ChildJob: everything a supervised child needs to do its work, as one value:
// the library and UI folder, and the work itself: a scenario (its text, known to
// parse, and the name its records show), a fuzz plan, a session typed at the
// terminal, a live session (a scenario to begin with, then lines its parent
// sends to its standard input), or the leak check (a scenario to begin with,
// then a cycle of lines repeated while the heap in use is read). Natively the forked child has it
// in memory; panelhost.exe hands it to the panelhost.exe it starts as a file in its JSON form, with
// the name of the step board they share.
#pragma once

#include "engine/FuzzPlan.h"

#include <string>

// The stack of the host's thread, on which every call into the component runs:
// by default what a Windows thread reserves unless its program says otherwise.
struct StackSize {
    static constexpr unsigned long long Default = 1ull << 20;
    unsigned long long bytes = Default;
};

// The library under test, as every mode that loads one takes it and every job
// loads it.
struct LibrarySettings {
    std::string library;
    std::string ui;       // the folder handed to the factory; default "ui" beside the library
    double timeout = 5.0; // seconds one step may take before it is a hang
    StackSize stack;
};

struct ChildJob {
    enum class Kind { Scenario, Plan, Terminal, Leak, Live };
    Kind kind = Kind::Scenario;
    std::string library;
    std::string ui;
    std::string scenarioName; // Scenario: as the start record shows it
    std::string scenarioText; // Scenario, Leak, Live: the lines played first
    std::string cycleText;    // Leak: the lines repeated
    FuzzPlan plan;            // Plan
    std::string board;        // Windows: the step board's name
    bool states = false;      // a state record after each step (a page draws them)
    unsigned long long stack = StackSize::Default; // the host thread's, in bytes
    int firstLine = 1;                             // Live: the line number of the first line sent
    long firstBreach = 0; // Live: the id of its first breach (a run's ids go on)
    int restart = 0;      // Live: the restarts of the component before this child
    // A person's lines (a scenario file, a terminal): a control they name that no
    // panel has is a problem of the scenario. Validate's own scenarios press such
    // controls on purpose.
    bool checkControls = false;

    // Whether the child reads lines that its parent sends to its standard input.
    bool fed() const { return kind == Kind::Live; }
};

// The jobs, each made here alone. A scenario (`text`, known to parse, shown
// as `name`), with a state record after each step when `states`.
ChildJob scenarioJob(const LibrarySettings& target, const std::string& name,
                     const std::string& text, bool states = false);
// The same for a scenario a person wrote: a control it names that no panel has
// is a problem of the scenario.
ChildJob writtenScenarioJob(const LibrarySettings& target, const std::string& name,
                            const std::string& text, bool states);
// A fuzz plan, sending every record or only what fuzzing needs.
ChildJob planJob(const LibrarySettings& target, const FuzzPlan& plan, bool everyRecord);
// A session typed at the terminal.
ChildJob terminalJob(const LibrarySettings& target);
// A live session: `text` (known to parse, shown as `name`) played first, then
// the lines its parent sends, numbered from `firstLine`, with a state record
// after each step; its breaches are numbered from `firstBreach`. `restart`
// counts the restarts of the component before this child.
ChildJob liveJob(const LibrarySettings& target, const std::string& name, const std::string& text,
                 int firstLine, long firstBreach, int restart);
// The leak check: `first` played once, then `cycle` repeated.
ChildJob leakJob(const LibrarySettings& target, const std::string& name, const std::string& first,
                 const std::string& cycle);

// The kinds of job by name, as the job's JSON carries them.
const char* nameOf(ChildJob::Kind kind);
bool valueOf(const std::string& name, ChildJob::Kind& kind);

std::string jobToJson(const ChildJob& job);
// False for a text that is not a job.
bool jobFromJson(const std::string& text, ChildJob& job);
