#include "child/Process.h"

#include "child/ChildMain.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void describeEnd(int status, int& exitCode, std::string& how) {
    if (WIFSIGNALED(status)) {
        exitCode = 128 + WTERMSIG(status);
        how = "the process was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
              strsignal(WTERMSIG(status)) + ")";
    } else {
        exitCode = WEXITSTATUS(status);
        how = "the process ended with status " + std::to_string(exitCode);
    }
}

} // namespace

bool RunningChild::start(const ChildJob& job, const std::string& records, StepBoard& board,
                         std::string& error) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        error = "the child process could not be started";
        return false;
    }
    if (child == 0) {
        // A normal exit, so that a leak checker built in sees the child's end.
        std::exit(runChildJob(job, records, board.usable() ? &board : nullptr));
    }
    m_process = child;
    m_running = true;
    return true;
}

bool RunningChild::waitBriefly() {
    int status = 0;
    const pid_t child = static_cast<pid_t>(m_process);
    if (waitpid(child, &status, WNOHANG) == child) {
        m_running = false;
        describeEnd(status, m_exitCode, m_how);
        return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return false;
}

void RunningChild::kill() {
    const pid_t child = static_cast<pid_t>(m_process);
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    m_running = false;
    describeEnd(status, m_exitCode, m_how);
}

RunningChild::~RunningChild() {
    if (m_running) {
        kill();
    }
}

bool isTerminal(int fd) {
    return isatty(fd) != 0;
}

void useBinaryStandardStreams() {}

void exitQuietlyOnCrash() {}

void sayLastWords(void (*)(const void*)) {}
