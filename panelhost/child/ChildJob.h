// ChildJob: everything a supervised child needs to do its work, as one value:
// the library and UI folder, and the work itself: a scenario (its text, known to
// parse, and the name its records show), a fuzz plan, or a session typed at the
// terminal. Natively the forked child has it in memory; panelhost.exe hands it
// to the panelhost.exe it starts as a file in its JSON form.
#pragma once

#include "modes/FuzzPlan.h"

#include <string>

struct ChildJob {
    enum class Kind { Scenario, Plan, Terminal };
    Kind kind = Kind::Scenario;
    std::string library;
    std::string ui;
    std::string scenarioName; // Scenario: as the start record shows it
    std::string scenarioText; // Scenario
    FuzzPlan plan;            // Plan
    bool states = false;      // a state record after each step (a page draws them)
};

std::string jobToJson(const ChildJob& job);
// False for a text that is not a job.
bool jobFromJson(const std::string& text, ChildJob& job);
