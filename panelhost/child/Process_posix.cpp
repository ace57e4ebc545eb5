#include "child/Process.h"

#include "child/ChildMain.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
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

// Closes every descriptor from 3 on: a fed child (a live session's) must not
// keep the parent's sockets open after the parent closed them.
void closeInherited() {
    if (close_range(3, ~0U, 0) == 0) {
        return;
    }
    rlimit limit{};
    const long most = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536
                          ? static_cast<long>(limit.rlim_cur)
                          : 65536;
    for (long fd = 3; fd < most; ++fd) {
        ::close(static_cast<int>(fd));
    }
}

} // namespace

bool RunningChild::start(const ChildJob& job, const std::string& records, StepBoard& board,
                         std::string& error) {
    int input[2] = {-1, -1};
    if (job.fed()) {
        if (pipe2(input, O_CLOEXEC) != 0) {
            error = std::string("the child's input could not be made: ") + std::strerror(errno);
            return false;
        }
        // A child that ended before it read its lines must not end this process.
        std::signal(SIGPIPE, SIG_IGN);
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        for (int fd : input) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        error = "the child process could not be started";
        return false;
    }
    if (child == 0) {
        if (job.fed()) {
            dup2(input[0], 0);
            closeInherited();
        }
        // A normal exit, so that a leak checker built in sees the child's end.
        std::exit(runChildJob(job, records, board.usable() ? &board : nullptr));
    }
    if (job.fed()) {
        ::close(input[0]);
        fcntl(input[1], F_SETFL, O_NONBLOCK);
        m_input = input[1];
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

bool RunningChild::send(const std::string& line) {
    m_waiting += line;
    m_waiting += '\n';
    return flushInput();
}

void RunningChild::close() {
    m_closing = true;
    flushInput();
}

bool RunningChild::flushInput() {
    while (m_input >= 0 && !m_waiting.empty()) {
        const ssize_t written =
            write(static_cast<int>(m_input), m_waiting.data(), m_waiting.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        }
        if (written < 0) {
            ::close(static_cast<int>(m_input));
            m_input = -1;
            return false;
        }
        m_waiting.erase(0, static_cast<std::size_t>(written));
    }
    if (m_closing && m_input >= 0) {
        ::close(static_cast<int>(m_input));
        m_input = -1;
    }
    return m_input >= 0 || m_closing;
}

RunningChild::~RunningChild() {
    if (m_input >= 0) {
        ::close(static_cast<int>(m_input));
    }
    if (m_running) {
        kill();
    }
}

bool isTerminal(int fd) {
    return isatty(fd) != 0;
}

std::string thisProgramPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

void useBinaryStandardStreams() {}

void exitQuietlyOnCrash() {}

void sayLastWords(void (*)(const void*)) {}
