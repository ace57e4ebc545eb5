// Settings: what each mode of panelhost was asked to do, one typed value per
// mode, made from the command line by parseCommandLine. A mode reads its own
// settings and no other's. The defaults here are the command line's: its help
// prints them, and a command line made from settings leaves them out.
#pragma once

#include "child/ChildJob.h"
#include "records/Checks.h"

#include <string>
#include <variant>
#include <vector>

// LIBRARY SCENARIO: play a scenario file ("-": standard input).
struct RunSettings {
    LibrarySettings target;
    std::string scenario;
    bool json = false;
    bool verbose = false;
    bool strict = false;
    std::string junit;  // empty: no report
    std::string html;   // empty: no page
    std::string record; // where the scenario is written back; empty: nowhere
};

// -i LIBRARY: lines typed at a terminal.
struct TerminalSettings {
    LibrarySettings target;
    bool verbose = false;
    bool strict = false;
};

// live LIBRARY [SCENARIO]: the component's panel served as a page on the
// loopback interface, each action there played as a step.
struct LiveSettings {
    LibrarySettings target;
    std::string scenario; // played first; empty: none
    long port = 0;        // 0: a free port
    bool verbose = false;
    bool strict = false;
    std::string record; // where the session is written as a scenario when it ends; empty: nowhere
};

// validate LIBRARY: the built-in battery of checks.
struct ValidateSettings {
    LibrarySettings target;
    double seconds = check_bounds::FuzzSeconds; // how long the fuzz check runs
    unsigned long long seed = 1;
    bool strict = false;
    bool json = false;
    std::string junit;
    std::string html;
    std::vector<std::string> only; // check and rule ids, as given
    std::vector<std::string> skip;
};

// fuzz LIBRARY: a seeded random world and event stream.
struct FuzzSettings {
    LibrarySettings target;
    unsigned long long seed = 1;
    long events = 1000; // at most; with --seconds alone, MostFuzzEvents (no limit but the time)
    double seconds = 0; // 0: no time budget
    std::string out;    // where the replay scenario is written; empty: nowhere
    bool strict = false;
    bool json = false;
    std::vector<std::string> only; // rule ids, as given
    std::vector<std::string> skip;
    std::string html; // the page of the replay; empty: none
};

// new NAME [DIR]: write a starter component folder.
struct NewSettings {
    std::string name;   // the component's class name
    std::string folder; // default: the name in lower case
};

// --help, --version, --list-rules: print and exit 0.
enum class InfoRequest { Help, Version, ListRules };

using Settings = std::variant<RunSettings, TerminalSettings, LiveSettings, ValidateSettings,
                              FuzzSettings, NewSettings, InfoRequest>;

// The UI folder of a library when none is given: "ui" beside it.
std::string defaultUiFolder(const std::string& library);
// The folder the starter goes to when none is given: the name in lower case.
std::string defaultStarterFolder(const std::string& name);
