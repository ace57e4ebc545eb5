// A scenario: a plain-text script read line by line. Each line is a world fact
// (what the host knows: object settings, names, instances, controls, scripted
// answers, the children on the parent panel and how the parent answers their
// events), a step (something the host does to the component), or an
// expectation about the step before it. A scenario that names children plays
// several instances of the component from one library; each step and
// expectation is then about one of them ("A: press 1 go"). Blank lines and
// lines beginning with "#" are ignored; leading blanks are free. The language
// is described in docs/scenarios.md.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

struct Fact {
    enum class Kind { Setting, Name, Instance, Control, Answer, Child, Parent };
    // Parent: to whom the parent delivers an event it takes: every child, every
    // child but the one that raised it, or no one any more (the rule ends).
    enum class Relay { Every, Others, Stop };
    Kind kind = Kind::Setting;
    // Setting: the package object; Instance, Child: the name; Answer, Parent: the prefix
    std::string object;
    std::string id;                          // Setting: the setting's id
    std::string panel;                       // Control
    std::string control;                     // Control
    std::string property;                    // Control
    int device = 0, database = 0, index = 0; // Name
    std::optional<std::string>
        value;                  // null: "none" (remove; Answer: no reply; Parent: prefix kept)
    bool backToWorld = false;   // Answer "world": the world's own reply again
    Relay relay = Relay::Every; // Parent
};

struct Step {
    enum class Kind { Load, Command, Press, DatabaseChange, Timer, Revertive, Aux, Destroy, Event };
    Kind kind = Kind::Load;
    std::optional<std::string> text; // Command (null: a null text), Press event, Aux, new name
    std::string panel;               // Press
    std::string control;             // Press
    int numbers[3] = {0, 0, 0};      // DatabaseChange, Timer (id), Revertive, Event (type)
};

struct Expectation {
    enum class Kind { Sent, Event, Debug, Reply, Property, Routers, Timers, Breach };
    Kind kind = Kind::Sent;
    std::optional<std::string> text;      // null: "none"
    std::string panel, control, property; // Property
    std::vector<int> numbers;             // Routers, Timers
    std::string rule;                     // Breach: the rule's id
};

struct Item {
    int line = 0;
    std::string source; // the line as written, trimmed
    // The child the line is about: empty in a scenario that names none; for an
    // expectation that names none, the child of the step before it. `every`: a
    // step or control fact for each child, in the order they were named.
    std::string instance;
    bool every = false;
    bool addressed = false; // the line names its child itself ("A: ...", "every: ...")
    std::variant<Fact, Step, Expectation> what;
};

struct Scenario {
    std::vector<Item> items;
};

class ChildAddressing;

// A line that is not in the language: where (counting from 1) and why.
struct ScenarioError {
    int line = 0;   // 0: the scenario as a whole (unreadable, no step)
    int column = 0; // 0: the line as a whole
    std::string message;

    // "line L, column C: message", or just the message for the whole scenario.
    std::string where() const;
};

// Parses one line; true with no item for a blank or comment line. False with the
// error for a line that is not in the language. The child a line names is
// taken as written; ChildAddressing says whether it stands.
bool parseScenarioLine(const std::string& line, int number, std::optional<Item>& out,
                       ScenarioError& error);
// Parses a whole script. Every bad line gives one error, as does an expectation
// before any step and, unless `stepless` (a live session's opening world), a
// script with no step at all; false when there is any. `addressing`, when
// given, is left as the script leaves it, so that lines sent after the script
// (a live session's) are addressed as if they followed it.
bool parseScenario(const std::string& text, Scenario& out, std::vector<ScenarioError>& errors,
                   bool stepless = false, ChildAddressing* addressing = nullptr);
// Reads (ScenarioInput: "-" is standard input) and parses a scenario; input that
// cannot be read or is refused is one error. `text` is the text as read.
bool loadScenario(const std::string& path, std::string& text, Scenario& out,
                  std::vector<ScenarioError>& errors, bool stepless = false);
// The errors of `source` for a person, one a line, the first `shown` of them
// and then how many more, so that no input makes a message without bound.
std::string describeErrors(const std::string& source, const std::vector<ScenarioError>& errors,
                           std::size_t shown = 20);
