// The fuzz mode: plays a generated world and event stream against a component
// with every audit on, in a supervised child, and stops at the first finding (a
// breach of any severity, a crash or a hang) or when its events or its time
// budget are spent. A finding is cut down to the shortest event prefix that
// still shows it and to the world facts it needs, then printed, and written with
// --out, as a scenario that replays it. Nothing is kept per event, so time and
// memory grow linearly with the events played.
#pragma once

#include "cli/Options.h"
#include "records/Records.h"

#include <map>
#include <string>
#include <vector>

// A component's own parent-command keys with the value hints it gave, read from
// its "_commands" and "return=all" replies.
using CommandKeys = std::map<std::string, std::vector<std::string>>;
// Asks the component for its keys in a supervised child; false with the reason
// when the library cannot be played.
bool probeKeys(const Options& options, CommandKeys& keys, std::string& error);

// What a quiet fuzz run found.
struct FuzzSummary {
    bool fatal = false;
    std::string fatalMessage;
    bool found = false;
    BreachRecord finding;
    long findingEvent = -1; // from 0
    long events = 0;        // events played
};
// Fuzzes `keys` from `options.seed` for at most `options.events` events or
// `options.seconds`, stopping at the first finding, without any output.
FuzzSummary fuzzQuietly(const Options& options, const CommandKeys& keys);

// Exit status 0 without findings, 1 with one, 2 for a loading or output error.
int runFuzz(const Options& options);
// The child's side (panelhost.exe --child RECORDS --plan FILE on Windows).
int runFuzzChild(const Options& options);
