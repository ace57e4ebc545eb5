// The child's side of a job: it opens a Session on the job's library, plays the
// job (a scenario, a fuzz plan, or lines typed at the terminal) and sends every
// record to the parent through the record channel. It prints nothing: the parent
// shows what the records say. Returns the exit status (0, 1 or 2).
#pragma once

#include "child/ChildJob.h"

#include <string>

int runChildJob(const ChildJob& job, const std::string& records);
// The same for a job handed over as a file (panelhost.exe started as a child).
int runChildFromFile(const std::string& records, const std::string& jobPath);
