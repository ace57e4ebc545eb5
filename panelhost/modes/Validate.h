// Validate: the built-in battery that any component of this host must pass,
// run against a library without a hand-written scenario. Each check
// (records/Checks.h) plays generated lines (or fuzzes) in a supervised child
// with every audit on and ends in a check record, shown as one line with its
// result and time; the run ends with a record of what was validated.
// --only and --skip select checks and rules by id.
#pragma once

#include "cli/Settings.h"

// Exit status 0 when every check held, 1 when one failed, 2 when the library
// cannot be loaded or the JUnit report cannot be written.
int runValidate(const ValidateSettings& settings);
