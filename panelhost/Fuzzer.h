// The fuzz mode: plays a generated world and event stream against a component
// with every audit on, in a supervised child. A finding (the first breach of
// any severity, a crash or a hang) is cut down to the shortest event prefix
// that still shows it, which is printed, and written with --out, as a scenario
// that replays it.
#pragma once

#include "Options.h"

// Exit status 0 without findings, 1 with one, 2 for a loading error.
int runFuzz(const Options& options);
