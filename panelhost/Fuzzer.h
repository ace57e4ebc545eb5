// The fuzz mode: plays a generated world and event stream against a component
// with every audit on, in a supervised child, and stops at the first finding (a
// breach of any severity, a crash or a hang) or when its events or its time
// budget are spent. A finding is cut down to the shortest event prefix that
// still shows it and to the world facts it needs, then printed, and written with
// --out, as a scenario that replays it. Nothing is kept per event, so time and
// memory grow linearly with the events played.
#pragma once

#include "Options.h"

// Exit status 0 without findings, 1 with one, 2 for a loading or output error.
int runFuzz(const Options& options);
// The child's side (panelhost.exe --child RECORDS --plan FILE on Windows).
int runFuzzChild(const Options& options);
