// CrashCompletion: the record of a child that crashed or hung, completed by the
// parent: the breach (CR1 or CR2) in the step that was open, the "expect breach"
// lines of that step that foresaw it, and the count of the scenario's lines that
// were never played (which fails the run).
#pragma once

#include "child/ChildProcess.h"
#include "language/Scenario.h"
#include "output/RecordStream.h"

// `scenario` is null for a run without one (a fuzz plan, a terminal session).
void completeCrash(const Scenario* scenario, double timeout, RecordStream& stream,
                   const ChildEnd& end);
