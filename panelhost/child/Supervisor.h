// Supervisor: the parent's side of a child job. It runs the job in a watched
// child (ChildProcess), hands every record the child sends to the run's
// RecordStream (which counts and shows it), and when the child crashed or hung
// completes the record (CrashCompletion). A child that ended because panelhost
// itself failed (it could not write the child's records) is a fatal record.
#pragma once

#include "child/ChildJob.h"
#include "child/Process.h"
#include "language/Scenario.h"
#include "output/RecordStream.h"

#include <functional>

// Returns the run's status before its summary: 2 when it could not be made (the
// fatal record already reported), else 0 or 1. `scenario` is the one the job
// plays (null for a plan or a terminal session); `onTick` is called while the
// parent waits, and `feed` with the input of a fed job.
int supervise(const ChildJob& job, double timeout, const Scenario* scenario, RecordStream& stream,
              const std::function<void()>& onTick = nullptr,
              const std::function<void(ChildInput&)>& feed = nullptr);
