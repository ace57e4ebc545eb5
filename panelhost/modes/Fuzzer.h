// The fuzz mode: plays a generated world and event stream against a component
// with every audit on, in a supervised child, and stops at the first finding (a
// breach of any severity, a crash or a hang) or when its events or its time
// budget are spent. A finding is cut down to the shortest event prefix that
// still shows it and to the world facts it needs, then printed, and written with
// --out, as a scenario that replays it. Nothing is kept per event, so time and
// memory grow linearly with the events played.
#pragma once

#include "cli/Settings.h"
#include "modes/FuzzPlan.h"
#include "records/Records.h"

#include <string>

// Asks the component for its keys in a supervised child; false with the reason
// when the library cannot be played.
bool probeKeys(const LibrarySettings& target, CommandKeys& keys, std::string& error);

// What a quiet fuzz run found.
struct FuzzSummary {
    bool fatal = false;
    std::string fatalMessage;
    bool found = false;
    BreachRecord finding;
    long findingEvent = -1; // from 0
    long events = 0;        // events played
};
// Fuzzes `keys` from `seed` for `seconds`, stopping at the first finding,
// without any output.
FuzzSummary fuzzQuietly(const LibrarySettings& target, unsigned long long seed, double seconds,
                        const CommandKeys& keys);

// Exit status 0 without findings, 1 with one, 2 for a loading or output error.
int runFuzz(const FuzzSettings& settings);
