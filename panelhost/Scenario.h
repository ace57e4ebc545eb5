// A scenario: a plain-text script read line by line. Each line is a world fact
// (what the host knows: object settings, names, instances, controls, scripted
// answers), a step (something the host does to the component), or an
// expectation about the step before it. Blank lines and lines beginning with
// "#" are ignored; leading blanks are free. The language is described in
// panelhost/README.md.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

struct Fact {
    enum class Kind { Setting, Name, Instance, Control, Answer };
    Kind kind = Kind::Setting;
    std::string object;   // Setting: the package object; Instance: the name; Answer: the prefix
    std::string id;       // Setting: the setting's id
    std::string panel;    // Control
    std::string control;  // Control
    std::string property; // Control
    int device = 0, database = 0, index = 0; // Name
    std::optional<std::string> value;        // null: "none" (remove; for Answer: no reply)
    bool backToWorld = false;                // Answer "world": the world's own reply again
};

struct Step {
    enum class Kind { Load, Command, Press, DatabaseChange, Timer, Revertive, Aux, Destroy };
    Kind kind = Kind::Load;
    std::optional<std::string> text; // Command (null: a null text), Press event, Aux, new name
    std::string panel;               // Press
    std::string control;             // Press
    int numbers[3] = {0, 0, 0};      // DatabaseChange, Timer (id), Revertive
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
    std::variant<Fact, Step, Expectation> what;
};

struct Scenario {
    std::vector<Item> items;
};

// Parses one line; true with no item for a blank or comment line. False with
// the reason for a line that is not in the language.
bool parseScenarioLine(const std::string& line, int number, std::optional<Item>& out,
                       std::string& error);
// Parses a whole script; false with "line N: reason" on the first bad line or
// an expectation before any step.
bool parseScenario(const std::string& text, Scenario& out, std::string& error);
bool loadScenario(const std::string& path, Scenario& out, std::string& error);

// The keyword of a step kind, as written in scripts and transcripts.
const char* stepKeyword(Step::Kind kind);
const char* expectationKeyword(Expectation::Kind kind);
