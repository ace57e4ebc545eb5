// The child's side of a job: it opens a Session on the job's library, plays the
// job (a scenario, a fuzz plan, or lines typed at the terminal) and sends its
// records to the parent through the record channel, marking each step on the
// step board: every record, or for a fuzz plan only its progress and the
// breaches that count. It prints nothing: the parent shows what the records say.
// Returns the exit status (0, 1 or 2).
#pragma once

#include "child/ChildJob.h"
#include "child/StepBoard.h"

#include <string>

// `board` may be null (no step board could be made).
int runChildJob(const ChildJob& job, const std::string& records, StepBoard* board);
// The same for a job handed over as a file (panelhost.exe started as a child).
int runChildFromFile(const std::string& records, const std::string& jobPath);
