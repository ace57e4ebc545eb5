// InstancePlays: what validate's instance check plays, and how it tells what
// the instances did. A panel host loads a library once and makes an instance of
// the component per button, alive side by side, their events interleaved. Two
// sequences of the same kinds of step with different values (the world's
// ordinary ones first, the others rotated, another timer, router index and
// text) are played each on one instance alone, each in a process of its own,
// then together: a second instance made while the first lives, their steps
// interleaved one by one, both destroyed, then a third instance made, which
// plays the first sequence again. Each instance's traffic, step by step (what
// it sent, raised, answered and gave back), must be what its sequence made
// alone: state kept in a static shows as a difference.
#pragma once

#include "engine/ComponentWorld.h"
#include "records/Records.h"

#include <map>
#include <string>
#include <vector>

struct InstancePlays {
    // The children of the played-together scenario: the first sequence's, the
    // second's, and the one made after both were destroyed.
    static const char* const First;
    static const char* const Second;
    static const char* const Later;

    std::string alone[2]; // each sequence on one instance, unnamed
    std::string together;
    int steps = 0; // in each sequence
};

InstancePlays instancePlays(const ComponentWorld& world);

// The traffic of each instance of a run, step by step, read from its records.
class InstanceTraffic {
public:
    struct Played {
        std::string step;    // as the world names it
        std::string traffic; // "> SD 'x'; ^ selected=1; = none", or "nothing"
        bool ended = false;  // a crash or hang cut the step short
    };

    void see(const Record& record);
    // The steps of `instance` ("" in a run that names none), in the order played.
    const std::vector<Played>& of(const std::string& instance) const;

private:
    std::map<std::string, std::vector<Played>> m_steps;
    std::string m_open; // the instance of the step under way
};

// The first step at which `together` differs from `alone`, said with both
// texts; empty when they agree as far as both ended.
std::string firstDifference(const std::vector<InstanceTraffic::Played>& alone,
                            const std::vector<InstanceTraffic::Played>& together,
                            const std::string& who);
