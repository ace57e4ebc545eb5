// ChildProcess: runs a child job in a child process (Process), takes the
// records the child writes to the record channel, and watches the step board
// they share: a step that stays open longer than the time limit is a hang, and
// the child is killed. A child that ends without its summary record has
// crashed; the board says in which step, and whether the child ended because
// it could not write its records (panelhost's own failure, not a crash).
#pragma once

#include "child/ChildJob.h"
#include "child/Process.h"
#include "child/StepBoard.h"
#include "records/Records.h"

#include <functional>
#include <string>

struct ChildEnd {
    bool started = true;
    int exitCode = 0;
    bool hung = false;
    std::string how;              // how the child ended, for a crash report
    std::string ownFailure;       // panelhost's own failure that ended the child; empty when none
    StepBoard::Step step;         // the last step the child began, as the board says
    StepBoard::Fault fault;       // the memory fault the child's crash handler named, if any
    unsigned long long stack = 0; // the host thread's stack the child had, in bytes
};

// Runs `job` in a child to its end; every record it writes is handed to
// `onRecord` as soon as it is read. `onTick` (when given) is called every few
// milliseconds, and so is `feed` (for a fed job), with the child's input.
ChildEnd runChild(const ChildJob& job, double stepTimeout,
                  const std::function<void(const Record&)>& onRecord,
                  const std::function<void()>& onTick = nullptr,
                  const std::function<void(ChildInput&)>& feed = nullptr);
