// LeakCheck: the child's side of validate's leak check. It plays the job's
// first lines, arms the heap meter, plays the cycle WarmUp times and reads the
// heap in use and the open handles, then LeakRuns times plays it Repetitions
// times more and reads both again (the check's bounds, records/Checks.h), and
// sends the readings as a memory record; the parent judges them.
#pragma once

#include "host/Session.h"
#include "language/Scenario.h"
#include "records/RecordSink.h"

void measureLeak(Session& session, const Scenario& first, const Scenario& cycle, RecordSink& sink);
