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

// The standard input of a child that reads lines its parent sends (a live
// session). Lines go out without blocking the parent: what the child has not
// taken yet waits here and goes with the next call.
class ChildInput {
public:
    // Sends `line` and a line feed; false once the child reads no more.
    virtual bool send(const std::string& line) = 0;
    // No more lines: the child's input ends once what waits has gone.
    virtual void close() = 0;

protected:
    ~ChildInput() = default;
};

class RunningChild : public ChildInput {
public:
    RunningChild() = default;
    ~RunningChild(); // a child still running is killed; its job file is removed
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    // Starts `job`, which writes its records to `records` and marks its steps
    // on `board`; false with the reason when the child could not be started.
    // A job that is fed (ChildJob::fed) reads a pipe from this parent as its
    // standard input, and holds no other descriptor of the parent's.
    bool start(const ChildJob& job, const std::string& records, StepBoard& board,
               std::string& error);
    bool send(const std::string& line) override;
    void close() override;
    // Sends what waits for the child's input; false once the child reads no more.
    bool flushInput();
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
    std::string m_jobFile;      // Windows: the job handed to the child
    std::intptr_t m_input = -1; // the child's standard input when it is fed
    std::string m_waiting;      // sent, not yet taken by the pipe
    bool m_closing = false;
    int m_exitCode = 0;
    std::string m_how;
};

// Whether file descriptor `fd` (0 standard input, 2 standard error) is a terminal.
bool isTerminal(int fd);

// The running program's own file, as the system names it (a Windows path on
// Windows); empty where the system does not say.
std::string thisProgramPath();

// Standard input and output as bytes: no line-end translation, so that output
// lines end with a line feed on every platform and input is read exactly.
void useBinaryStandardStreams();

// Makes a crash of this process end it quietly with the exception's code, with
// no error dialog or debugger, so that the watching parent sees it (Windows).
void exitQuietlyOnCrash();
// Before a crash ends the process (Windows), `say` is handed the structured
// exception's record (an EXCEPTION_RECORD), once.
void sayLastWords(void (*say)(const void* exceptionRecord));
