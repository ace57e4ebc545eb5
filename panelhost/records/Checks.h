// Checks: validate's battery, each check registered once with its stable id,
// its name, what a failure counts as, the thresholds it judges by and the
// statement made from them. Everything that names, selects, runs or lists a
// check reads it from here: the command line, validate, --list-rules and the
// leak check's child.
#pragma once

#include "Rules.h"

#include <string>
#include <vector>

enum class Check {
    ImportsResolve,
    LoadAndDestroy,
    EveryEventType,
    CommandsAndSettings,
    RepliesGivenBack,
    InstancesApart,
    SlowEvent,
    Fuzz,
    MemoryStaysFlat,
};

struct CheckInfo {
    Check check;
    const char* id;
    const char* name;
    Severity severity; // what a failure counts as
    std::string statement;
};

// The checks in the order they run.
const std::vector<CheckInfo>& allChecks();
const CheckInfo& checkInfo(Check check);
// The check whose id is `id`; null when none is.
const CheckInfo* findCheck(const std::string& id);

// The thresholds the checks judge by.
namespace check_bounds {
// A step that keeps the host's thread longer is slow (VL5): a host calls its
// components one at a time on one thread, and a video frame is 20 to 40 ms.
const double SlowEventMilliseconds = 50.0;
// How long the fuzz check runs when --seconds does not say (VL6).
const double FuzzSeconds = 10.0;
// The leak check (VL7) plays its cycle WarmUp times, reads the heap and the
// open handles, then LeakRuns times plays it Repetitions times and reads them
// again; growth above LeakBytes, or LeakHandles, in every one of those runs
// fails it.
const int WarmUp = 10;
const int Repetitions = 25;
const int LeakRuns = 2;
const long long LeakBytes = 2048;
// The open handles may grow by this many in each of those runs (one opened
// lazily, once) before they fail it too.
const int LeakHandles = 2;
} // namespace check_bounds

// Why a slow step fails VL5, for a person.
std::string slowEventReason();
