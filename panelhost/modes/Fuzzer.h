// The fuzz mode: plays a generated world and event stream, in the component's
// own world, against the component with every audit on, in a supervised child
// that sends the parent only its progress and the breaches that count. It stops
// at the first breach that fails (an error, or a warning with --strict; rules
// selected by --only and --skip, as everywhere), a crash or a hang, or when its
// events or its time budget are spent. A finding is replayed from the seed to
// show its traffic, then cut down to the fewest events and world facts that
// still show it, printed, and written with --out, as a scenario that replays
// it. Nothing is kept per event, so time and memory grow linearly. Everything
// it says is a record: the transcript's lines, or JSON lines with --json.
#pragma once

#include "cli/Settings.h"
#include "engine/FuzzPlan.h"
#include "records/Records.h"

#include <functional>
#include <string>
#include <vector>

// What a quiet fuzz run found.
struct FuzzSummary {
    bool fatal = false;
    std::string fatalMessage;
    std::string fatalCause; // FatalCause
    bool found = false;     // a breach that fails
    BreachRecord finding;
    long findingEvent = -1; // from 0
    struct Warning {
        BreachRecord breach;
        long event = -1;
    };
    std::vector<Warning> warnings; // breaches that count but do not fail, first of each rule
    long events = 0;               // events begun
    long steps = 0;
    long sent = 0;
    double seconds = 0; // in the child
};

// Plays `plan` in a supervised child; `progress` (when given) hears the events so
// far while it runs.
FuzzSummary fuzzQuietly(const LibrarySettings& target, const FuzzPlan& plan,
                        const std::function<void(long)>& progress = nullptr);

// The records of the steps of `plan` in which breaches that count came,
// replayed with every record from the seed.
std::vector<Record> replayTraffic(const LibrarySettings& target, const FuzzPlan& plan);

// Exit status 0 without findings, 1 with one, 2 for a loading or output error.
int runFuzz(const FuzzSettings& settings);
