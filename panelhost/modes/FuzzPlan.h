// FuzzPlan: what one fuzzing child plays. Either the probe that asks the
// component for its own keys, or the world of a seed (less the world facts
// dropped while shrinking) and its first `events` events, made one at a time as
// they are played, within a time budget, stopping at the first breach.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class Session;

// A component's own parent-command keys with the value hints it gave, read from
// its "_commands" and "return=all" replies.
using CommandKeys = std::map<std::string, std::vector<std::string>>;

struct FuzzPlan {
    bool probe = false;
    unsigned long long seed = 1;
    CommandKeys keys;
    long events = 0;
    double seconds = 0; // 0: no time budget
    bool stopAtFinding = true;
    std::set<int> dropped; // world facts left out, by their index
};

// Plays the lines of `plan` into `session`, each made as it is played.
void playPlan(const FuzzPlan& plan, Session& session);
