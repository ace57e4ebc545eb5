// Validate: the built-in battery that any component of this host must pass,
// run against a library without a hand-written scenario. Each check has a stable
// id, plays generated lines (or fuzzes) in a supervised child with every audit
// on, and prints one line with its result and time; the run ends with a summary
// of what was validated. --only and --skip select checks and rules by id.
#pragma once

#include "cli/Settings.h"

#include <vector>

struct CheckInfo {
    const char* id;
    const char* name;
    const char* severity; // what a failure counts as: "error" or "warning"
    const char* statement;
};

// The checks of the battery, in the order they run.
const std::vector<CheckInfo>& validationChecks();

// Exit status 0 when every check held, 1 when one failed, 2 when the library
// cannot be loaded or the JUnit report cannot be written.
int runValidate(const ValidateSettings& settings);

// The slow-event threshold: a step that keeps the host's thread longer is reported.
const double SlowEventMilliseconds = 50.0;
