// Running a scenario: the child's side (a Session fed from the parsed scenario or
// from a terminal, its records streamed out) and the parent's side (the watchdog
// around it, which completes the record when the child crashes or hangs: the
// breach, the "expect breach" lines that foresaw it, and the lines not played).
#pragma once

#include "cli/Options.h"
#include "language/Scenario.h"
#include "records/RecordStream.h"

#include <functional>
#include <string>

// The child: plays `scenario` (null: lines typed at a terminal) and returns the
// exit status (0, 1 or 2).
int runSession(const Options& options, const Scenario* scenario, const std::string& records);

// The parent: runs `body` in a supervised child whose records reach `stream`;
// completes the record of a crash or hang, using `scenario` (null for a session
// typed at a terminal) for the expectations that foresaw it and the lines that
// were not played. Returns the exit status. `onRecord` sees each record of the
// child; `onTick` is called while it waits.
int superviseChild(const Options& options, const Scenario* scenario, RecordStream& stream,
                   const std::function<int(const std::string& records)>& body,
                   const std::function<void(const Record&)>& onRecord = nullptr,
                   const std::function<void()>& onTick = nullptr);

// A run that cannot be made: the message on standard error, and a fatal record
// when the options ask for JSON. Returns 2.
int reportFatal(const Options& options, const std::string& message);

// The parent of an ordinary run: the child plays `scenario` (null for -i at a
// terminal), its records reaching `stream`. Returns the exit status.
int superviseRun(const Options& options, const Scenario* scenario, RecordStream& stream);
// The same, shown as the options say, with the JUnit report they ask for.
int superviseRun(const Options& options, const Scenario* scenario);
