// The scenario run and the terminal session, the parent's side: the scenario is
// read and parsed here (every error reported and nothing played unless all of it
// parses), played by a supervised child, shown as its records arrive, and judged
// here: the JUnit report, the recorded scenario (--record) and the HTML page
// (--html) are written before the summary, so that the summary states the
// status the run really ends with.
#pragma once

#include "cli/Settings.h"

// Exit status 0, 1 or 2.
int runScenario(const RunSettings& settings);
int runTerminal(const TerminalSettings& settings);
