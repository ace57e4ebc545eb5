// StepLog: what one step made the component do, as the host saw it: the
// commands it sent, the events it raised to the parent and the breaches found,
// all under the scenario line of the step (an implicit step's, as StepRecord
// says).
#pragma once

#include "records/Records.h"

#include <string>
#include <vector>

struct StepLog {
    int line = 0;
    bool implicit = false;
    std::vector<std::string> sent;   // mode-0 command texts, in order
    std::vector<std::string> events; // HN texts, in order
    std::vector<BreachRecord> breaches;
};
