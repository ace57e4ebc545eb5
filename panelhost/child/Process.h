// Process: the platform's process code, behind one small interface. A
// RunningChild is one child process running a child job: natively a fork() of
// this process; on Windows panelhost.exe started again as
// "panelhost.exe --child RECORDS JOB" with the job in a file. Beside it, the
// process-wide settings that differ by platform: terminals, binary standard
// streams, and how a crash ends the process.
#pragma once

#include "child/ChildJob.h"
#include "child/StepBoard.h"

#include <cstdint>
#include <string>

class RunningChild {
public:
    RunningChild() = default;
    ~RunningChild(); // a child still running is killed; its job file is removed
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    // Starts `job`, which writes its records to `records` and marks its steps
    // on `board`; false with the reason when the child could not be started.
    bool start(const ChildJob& job, const std::string& records, StepBoard& board,
               std::string& error);
    // Waits a few milliseconds at most; true once the child has ended.
    bool waitBriefly();
    // Ends the child at once and waits for its end.
    void kill();

    // Once the child has ended: its exit status, and how it ended in words.
    int exitCode() const { return m_exitCode; }
    const std::string& how() const { return m_how; }

private:
    std::intptr_t m_process = -1; // the process id, or the process handle (Windows)
    bool m_running = false;
    std::string m_jobFile; // Windows: the job handed to the child
    int m_exitCode = 0;
    std::string m_how;
};

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
