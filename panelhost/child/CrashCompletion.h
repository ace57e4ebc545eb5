// CrashCompletion: the record of a child that crashed or hung, completed by the
// parent: the breach in the step that was open (CR2 for a hang; for a crash
// what the child's crash handler named: CR4 for the host thread's stack, GB6 or
// GB7 for a reply touched where it may not be, with the reply's command; else CR1), the "expect
// breach" lines of that step that foresaw it, and the count of the scenario's lines that were never
// played (which fails the run).
#pragma once

#include "child/ChildProcess.h"
#include "language/Scenario.h"
#include "output/RecordStream.h"

// `scenario` is null for a run without one (a fuzz plan, a terminal session).
void completeCrash(const Scenario* scenario, double timeout, RecordStream& stream,
                   const ChildEnd& end);
