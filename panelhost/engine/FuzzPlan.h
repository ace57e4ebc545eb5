// FuzzPlan: what one fuzzing child plays: the world of a seed in the component's
// own world (less the world facts and events left out while shrinking) and its
// first `events` events, made one at a time as they are played, within a time
// budget, stopping at the first breach that fails under the plan's rule
// selection.
#pragma once

#include "engine/ComponentWorld.h"
#include "records/RuleSelection.h"

#include <functional>
#include <set>

class Session;

// The most events one plan plays: the bound of --events, and the limit of a
// plan that only its time budget ends.
const long MostFuzzEvents = 100000000;

struct FuzzPlan {
    unsigned long long seed = 1;
    ComponentWorld world;
    long events = 0;
    double seconds = 0;           // 0: no time budget
    std::set<int> droppedFacts;   // world facts left out, by their index
    std::set<long> droppedEvents; // events left out, by their number
    RuleSelection selection;
    // Every record to the parent, as a scenario run sends them (a replay that
    // shows its traffic); otherwise only progress and the breaches that count.
    bool everyRecord = false;
};

// Plays the lines of `plan` into `session`, each made as it is played, until
// `stop` says so (a breach that fails) or the events or the time are spent.
// Returns the number of events begun.
long playPlan(const FuzzPlan& plan, Session& session, const std::function<bool()>& stop);

// The scenario a plan plays, as text: its world facts and its events, then a destroy.
std::string planScenario(const FuzzPlan& plan);
