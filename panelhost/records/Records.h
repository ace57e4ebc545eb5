// Records: what a run is made of, one typed record per happening, in the order
// it happened. A record of one instance of the component carries its name in
// `instance`, empty when the scenario names no instances (and then absent from
// its JSON). The session builds them; the child streams them to the watching
// parent as JSON lines (output/RecordJson.h), and the parent alone shows them:
// the transcript, the --json output, the JUnit report, the HTML page, the
// recorded scenario and the tally all read these types and nothing else.
#pragma once

#include "Rules.h"
#include "language/Keywords.h"
#include "records/Checks.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// The run began: what is played against what. In a live session each restart
// of the component begins again: `restart` counts them (0: the first life).
struct StartRecord {
    std::string library;
    std::string ui;
    std::string scenario;
    int restart = 0;
};

// A step began: a host event (or load or destroy) from scenario line `line`.
// An implicit step is no line's own: the load that the step at `line` needed
// first, or the destroy after the last line, whose `line` is 0.
struct StepRecord {
    int line = 0;
    Step::Kind step = Step::Kind::Load;
    std::optional<std::string> text;
    std::string panel, control; // press
    std::vector<int> numbers;   // dbchange, timer, revertive
    bool implicit = false;      // a load or destroy the scenario did not write
    long event = -1;            // fuzzing: the number of the generated event, from 0
    std::string instance{};
    // A parent command the parent delivered by its rules, in answer to the step
    // at `line`: the event it took, and the instance that raised it. None: a
    // step of the scenario's own.
    std::optional<std::string> relayed{};
    std::string raisedBy{};
};

// The component sent a command; the host's reply, and whether it is owed back.
struct SentRecord {
    int line = 0;
    std::string command;
    std::optional<std::string> reply;
    bool owed = false;
    std::string instance{};
};

// A mode-5 give-back: the command whose reply came back; none for a null pointer.
struct GiveBackRecord {
    int line = 0;
    std::optional<std::string> of;
    std::string instance{};
};

// An event raised to the parent (HN).
struct EventRecord {
    int line = 0;
    std::string text;
    std::string instance{};
};

// The component's reply to a parent command; none for no reply.
struct ReplyRecord {
    int line = 0;
    std::optional<std::string> text;
    std::string instance{};
};

// What the component wrote to the debugger output during a step.
struct DebugRecord {
    int line = 0;
    std::string text;
    std::string instance{};
};

// A breach of the host contract. `id` numbers the breaches of a run from 0, so an
// expectation can say which one it covers.
struct BreachRecord {
    int line = 0;
    long id = 0;
    Rule rule = Rule::ComponentCrash;
    std::string command;
    std::string detail;
    bool implicit = false; // came in an implicit step (`line` as the step's)
    std::string instance{};
};

// Where a step stands, as every output names it: "line 7", or for an implicit
// step "implicit load before line 7" or "implicit destroy at the end".
std::string stepPlace(int line, bool implicit);

// What an expectation wanted or saw: lines (sent, event), numbers (routers,
// timers), one text (debug, reply, property, breach), or none.
struct ExpectValue {
    enum class Form { None, Lines, Numbers, Text };
    Form form = Form::None;
    std::vector<std::string> lines;
    std::vector<int> numbers;
    std::string text;

    static ExpectValue none() { return ExpectValue(); }
    static ExpectValue ofLines(std::vector<std::string> lines);
    static ExpectValue ofNumbers(std::vector<int> numbers);
    static ExpectValue ofText(std::string text);
    static ExpectValue ofOptional(const std::optional<std::string>& text);
    bool operator==(const ExpectValue& other) const;
};

// One expectation checked: an "expect" line of the scenario, or the block of
// lines of one kind (sent, event, debug) after one step, judged and counted as
// one and named by its first line.
struct ExpectRecord {
    int line = 0;
    std::vector<int> lines; // a block of more than one line: all of them, in order
    Expectation::Kind what = Expectation::Kind::Sent;
    bool held = false;
    ExpectValue expected, actual;
    std::string panel, control, property; // property
    std::string rule;                     // breach: the rule's id
    int step = 0;                         // breach: the step's line
    long covers = -1;                     // breach: the id of the breach it covers
    std::string instance{};
};

// The lines of an expectation, as every output names them: "line 7", or for a
// block "lines 7-9, 12".
std::string expectPlace(const ExpectRecord& record);

// A line of the scenario that names what this run's world does not have (a
// control that no panel holds): a problem of the scenario, not of the
// component, which fails the run. `nearest` is the closest name the world
// knows ("PANEL CONTROL"); empty when it knows none.
struct ProblemRecord {
    int line = 0;
    std::string text;
    std::string nearest;
    std::string instance{};
};

// The step ended, after `micros` microseconds in the component (-1: not timed).
struct EndRecord {
    int line = 0;
    long micros = -1;
    std::string instance{};
};

// The state of a panel at the end of the run.
struct PanelRecord {
    struct Control {
        std::string name;
        std::vector<std::pair<std::string, std::string>> properties;
    };
    std::string panel;
    std::string source;
    std::vector<Control> controls;
    std::string instance{};
};

// The host's world after a step, for a page that draws it (made only when a
// report asks for it): every panel of the step's instance, whole, with the
// properties that changed during the step (a panel loaded in the step: all of
// its properties), the routers it has registered and the timers running.
struct StateRecord {
    struct Changed {
        std::string panel, control, property;
    };
    int line = 0;
    std::vector<PanelRecord> panels;
    std::vector<Changed> changed;
    std::vector<int> routers, timers;
    std::string instance{};
};

// The judgement of the run. `notPlayed` lines of the scenario, from line
// `notPlayedFrom`, were not played because the component crashed or hung.
struct SummaryRecord {
    int steps = 0;
    int expectations = 0;
    int held = 0;
    int failed = 0;
    int errors = 0;
    int warnings = 0;
    int expectedBreaches = 0;
    int notPlayed = 0;
    int notPlayedFrom = 0;
    int status = 0;
    int problems = 0; // lines of the scenario that name what the world does not have
};

// For a person at a terminal session (-i): the session begins ("begin"), waits
// for a line ("prompt"), was asked for the language help ("help") or for the
// state ("show": routers, timers and whether a component is loaded, after a
// panel record per panel), or refused a line that is not in the language
// ("error", with where and why in `text`).
struct TerminalRecord {
    enum class What { Begin, Prompt, Help, Show, Error };
    What what = What::Begin;
    std::string text;
    std::vector<int> routers, timers;
    bool loaded = false;
    std::string instance{}; // show: the instance shown
};

// The scenario was written back with what happened as its expectations
// (--record): where, how many expectation lines it holds, the lines of the
// scenario's own expectations that failed and were replaced, how many breaches
// it now expects, and how many came in implicit steps, where no line can expect
// them. Not written (after a crash or hang left lines unplayed): `reason`.
struct RecordedRecord {
    std::string file;
    bool written = true;
    std::string reason;
    int expectations = 0;
    std::vector<int> failed;
    int breaches = 0;
    int unrecordable = 0;
};

// The run could not be made at all (usage, scenario, library), or panelhost's
// own input or output failed under it: exit status 2. `cause` says why when a
// check needs to know (FatalCause); empty otherwise.
namespace FatalCause {
// The loader could not bind the library's imports.
const char* const Imports = "imports";
// panelhost's own input or output failed (a full disk, a file-size limit): the
// component is not to blame, and no check can be made.
const char* const Own = "own";
} // namespace FatalCause

struct FatalRecord {
    std::string message;
    int status = 2;
    std::string cause;
};

// What the component wrote to its standard output or standard error ("stdout",
// "stderr") during a step: the component's own text, kept apart from
// panelhost's. Off Windows the debugger output is standard error (DebugRecord).
struct OutputRecord {
    int line = 0;
    std::string stream;
    std::string text;
    std::string instance{};
};

// A fuzzing child's progress, in place of the records of every step: events
// begun, steps played and commands sent so far, and the seconds since it began.
struct ProgressRecord {
    long events = 0;
    long steps = 0;
    long sent = 0;
    double seconds = 0;
};

// The leak check's readings of the heap in use, in bytes, and of the handles the
// process holds open (-1 where the platform does not tell), each taken once
// after the warm-up repetitions of its cycle of events and once after each
// further `cycles` repetitions; `steps` in one repetition; `how` the heap was
// measured.
struct MemoryRecord {
    std::string how;
    int cycles = 0;
    int steps = 0;
    std::vector<long long> readings;
    std::vector<int> handles;
};

// Validation began: the library validated and the UI folder handed to it.
struct ValidationRecord {
    std::string library;
    std::string ui;
};

// What validation learned of the component's world before its checks, in how
// many supervised runs and seconds.
struct WorldRecord {
    int panels = 0;
    int controls = 0;
    int keys = 0; // of its own: the keys its command lists name
    int instances = 0;
    int names = 0;
    int routers = 0;
    int runs = 0;
    double seconds = 0;
};

// What one check of validate found: breaches of `rule` (its id), or, with no
// rule, a finding of the check's own (`message` alone). A rule's finding says
// how often it was broken in a scripted check (`times`) and the step of its
// first breach as the component's world names it, or the fuzz event (from 1) of
// its first; the command the breach concerns, what was seen, and for a fuzz
// finding the command line that replays it.
struct CheckFinding {
    std::string rule;
    int times = 0;       // 0: not counted (fuzz, the leak check)
    std::string step;    // empty: none named
    long event = 0;      // 0: none
    std::string command; // empty: none
    std::string message;
    std::string replay; // empty: none
};

// One check of validate ran (or was skipped): its outcome and time, a summary
// of what it played, and what it found.
enum class CheckOutcome { Held, Warned, Failed, Skipped };
struct CheckRecord {
    Check check = Check::ImportsResolve;
    CheckOutcome outcome = CheckOutcome::Held;
    double seconds = 0;
    std::string summary;
    std::vector<CheckFinding> findings;
};

// Validation ended: the checks counted by outcome (`held` counts those that held
// with warnings too), the seed, the seconds it took and the exit status.
struct ValidatedRecord {
    std::string library;
    int checks = 0;
    int held = 0;
    int warned = 0;
    int failed = 0;
    int skipped = 0;
    unsigned long long seed = 0;
    double seconds = 0;
    int status = 0;
};

// Fuzzing began: the library, the seed, and the bounds of the run: at most
// `events` events, and `seconds` (0: no time budget).
struct FuzzRecord {
    std::string library;
    unsigned long long seed = 0;
    long events = 0;
    double seconds = 0;
};

// A breach fuzzing found: one that fails the run (`fails`, which stopped it,
// after `seconds`), or the first of a rule that counts but does not fail. The
// records of the steps that show a failing one, replayed from the seed, follow it.
struct FuzzFindingRecord {
    bool fails = false;
    long event = 0; // from 1
    double seconds = 0;
    BreachRecord breach;
};

// The finding cut down to a replay scenario: `kept` of the first `events`
// events and `factsKept` of `facts` world facts still show it; the scenario's
// text, and the file it was written to (--out; empty: none).
struct ShrunkRecord {
    long kept = 0;
    long events = 0;
    int factsKept = 0;
    int facts = 0;
    std::string scenario;
    std::string file;
};

// Fuzzing ended: the events begun, steps played and commands sent, its seconds,
// whether a finding failed it, and the exit status.
struct FuzzedRecord {
    long events = 0;
    long steps = 0;
    long sent = 0;
    double seconds = 0;
    bool found = false;
    int status = 0;
};

using Record =
    std::variant<StartRecord, StepRecord, SentRecord, GiveBackRecord, EventRecord, ReplyRecord,
                 DebugRecord, BreachRecord, ExpectRecord, EndRecord, PanelRecord, SummaryRecord,
                 FatalRecord, TerminalRecord, StateRecord, RecordedRecord, OutputRecord,
                 ProgressRecord, MemoryRecord, ValidationRecord, WorldRecord, CheckRecord,
                 ValidatedRecord, ProblemRecord, FuzzRecord, FuzzFindingRecord, ShrunkRecord,
                 FuzzedRecord>;

// The name of each kind of record, as its JSON says "type" and the page reads it.
const char* recordTypeName(const Record& record);
// The record of the kind named `type`, made with its defaults; false when no
// kind is named so.
bool recordOfType(const std::string& type, Record& out);

// Enums of records by name, as their JSON carries them: a rule and a check by
// id, an outcome as the check's line shows it ("ok", "warn", "FAIL", "skip").
const char* nameOf(Rule rule);
bool valueOf(const std::string& name, Rule& rule);
const char* nameOf(Check check);
bool valueOf(const std::string& name, Check& check);
const char* nameOf(CheckOutcome outcome);
bool valueOf(const std::string& name, CheckOutcome& outcome);
const char* nameOf(TerminalRecord::What what);
bool valueOf(const std::string& name, TerminalRecord::What& what);
