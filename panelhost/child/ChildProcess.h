// ChildProcess: the platform's process code. It runs a child job in a child
// process, takes the records the child writes to the record channel, and
// watches the step board they share: a step that stays open longer than the
// time limit is a hang, and the child is killed. A child that ends without its
// summary record has crashed; the board says in which step. Natively the child is
// a fork() of this process; on Windows panelhost.exe starts itself again as
// "panelhost.exe --child RECORDS JOB" with the job in a file.
#pragma once

#include "child/ChildJob.h"
#include "child/StepBoard.h"
#include "records/Records.h"

#include <functional>
#include <string>
#include <vector>

struct ChildEnd {
    bool started = true;
    int exitCode = 0;
    bool hung = false;
    std::string how;      // how the child ended, for a crash report
    StepBoard::Step step; // the last step the child began, as the board says
};

// Runs `job` in a child to its end; every record it writes is handed to
// `onRecord` as soon as it is read. `onTick` (when given) is called every few
// milliseconds.
ChildEnd runChild(const ChildJob& job, double stepTimeout,
                  const std::function<void(const Record&)>& onRecord,
                  const std::function<void()>& onTick = nullptr);

// A fresh name for a file in the temporary folder.
std::string temporaryFileName(const std::string& stem, const std::string& extension);

// Whether file descriptor `fd` (0 standard input, 2 standard error) is a terminal.
bool isTerminal(int fd);

// Standard input and output as bytes: no line-end translation, so that output
// lines end with a line feed on every platform and input is read exactly.
void useBinaryStandardStreams();

// Makes a crash of this process end it quietly with the exception's code, with
// no error dialog or debugger, so that the watching parent sees it (Windows).
void exitQuietlyOnCrash();
// Before a crash ends the process (Windows), `say` is handed the structured
// exception's record (an EXCEPTION_RECORD), once.
void sayLastWords(void (*say)(const void* exceptionRecord));
