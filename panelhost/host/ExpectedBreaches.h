// ExpectedBreaches: the one place that decides which breaches a scenario
// foresaw. Each "expect breach RULE" line of a step covers the first breach of
// that rule in that step that no earlier line covers; a covered breach is
// expected and does not fail the run. The session asks here after each step,
// and the watching parent asks here for the step that crashed or hung.
#pragma once

#include "language/Scenario.h"
#include "records/Records.h"

#include <vector>

// One expect record per line in `lines` (the "expect breach" lines of the step at
// `stepLine`), held when it covers one of `breaches` (those of that step).
std::vector<ExpectRecord> matchExpectedBreaches(const std::vector<const Item*>& lines,
                                                const std::vector<BreachRecord>& breaches,
                                                int stepLine);
