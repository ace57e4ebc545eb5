// Running a scenario: the child's side (a Session fed from the scenario file or
// from standard input, its records streamed out) and the parent's side (the
// watchdog around it, which completes the record when the child crashes or
// hangs, including the "expect breach" lines that foresaw it).
#pragma once

#include "Options.h"
#include "Scenario.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// The child: runs the session and returns its exit status (0, 1 or 2).
int runSession(const Options& options, const std::string& records);

// The parent: runs the session in a supervised child; returns the exit status.
// `scenario` (null for -i) lets a crash meet the expectations that foresaw it;
// every record of the run is appended to `records` when it is given.
int superviseRun(const Options& options, const Scenario* scenario,
                 std::vector<nlohmann::json>* records = nullptr);
