#include "child/ChildProcess.h"

#include "EscapedException.h"
#include "child/ChildMain.h"
#include "child/RecordChannel.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Watches the step board and says when one step has stayed open too long.
class StepClock {
public:
    StepClock(const StepBoard& board, double limit) : m_board(board), m_limit(limit) {}
    bool expired() {
        const StepBoard::Step step = m_board.read();
        const Clock::time_point now = Clock::now();
        if (!step.open || step.serial != m_serial) {
            m_serial = step.serial;
            m_since = now;
            return false;
        }
        return std::chrono::duration<double>(now - m_since).count() > m_limit;
    }

private:
    const StepBoard& m_board;
    double m_limit;
    std::int32_t m_serial = -1;
    Clock::time_point m_since = Clock::now();
};

#if defined(_WIN32)
std::string quoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

void (*lastWords)(const void*) = nullptr;

LONG WINAPI endQuietly(EXCEPTION_POINTERS* info) {
    if (lastWords != nullptr) {
        void (*say)(const void*) = lastWords;
        lastWords = nullptr;
        say(info->ExceptionRecord);
    }
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}
#endif

} // namespace

std::string temporaryFileName(const std::string& stem, const std::string& extension) {
    static std::atomic<unsigned> counter(0);
    std::random_device device;
    const std::string name =
        stem + "-" + std::to_string(device()) + "-" + std::to_string(counter++) + extension;
    return (std::filesystem::temp_directory_path() / name).string();
}

bool isTerminal(int fd) {
#if defined(_WIN32)
    return _isatty(fd) != 0;
#else
    return isatty(fd) != 0;
#endif
}

void useBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void exitQuietlyOnCrash() {
#if defined(_WIN32)
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endQuietly);
#endif
}

void sayLastWords(void (*say)(const void* exceptionRecord)) {
#if defined(_WIN32)
    lastWords = say;
#else
    (void)say;
#endif
}

ChildEnd runChild(const ChildJob& job, double stepTimeout,
                  const std::function<void(const Record&)>& onRecord,
                  const std::function<void()>& onTick) {
    ChildEnd result;
    const std::string records = temporaryFileName("panelhost-records", "");
    RecordReader reader(records);
    StepBoard board;
    StepClock clock(board, stepTimeout);
    const auto take = [&](const Record& record) { onRecord(record); };
    const auto tick = [&] {
        if (onTick) {
            onTick();
        }
    };
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
#if defined(_WIN32)
    const std::string jobFile = temporaryFileName("panelhost-job", ".json");
    ChildJob named = job;
    named.board = board.name();
    std::ofstream(jobFile, std::ios::binary) << jobToJson(named);
    // Removed however the child ends.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removeJob(
        &jobFile, [](const std::string* path) {
            std::error_code ignored;
            std::filesystem::remove(*path, ignored);
        });
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string commandLine = quoteArgument(program) + " --child " + quoteArgument(records) +
                                    " " + quoteArgument(jobFile);
    std::string mutableLine = commandLine;
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION process;
    std::fflush(stdout);
    if (!CreateProcessA(program, &mutableLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        result.started = false;
        result.how = "the child process could not be started";
        return result;
    }
    CloseHandle(process.hThread);
    for (;;) {
        const DWORD waited = WaitForSingleObject(process.hProcess, 5);
        reader.poll(take);
        tick();
        if (waited == WAIT_OBJECT_0) {
            break;
        }
        if (clock.expired()) {
            TerminateProcess(process.hProcess, 0xDEAD);
            WaitForSingleObject(process.hProcess, INFINITE);
            reader.poll(take);
            result.hung = true;
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    result.exitCode = static_cast<int>(code);
    char how[160];
    if (code == MicrosoftCppException) {
        std::snprintf(how, sizeof how,
                      "the process died of exception 0x%08lX (a C++ exception of Microsoft's "
                      "runtime that no one caught)",
                      static_cast<unsigned long>(code));
    } else if (code >= 0xC0000000u) {
        std::snprintf(how, sizeof how, "the process died of exception 0x%08lX",
                      static_cast<unsigned long>(code));
    } else {
        std::snprintf(how, sizeof how, "the process ended with status %lu",
                      static_cast<unsigned long>(code));
    }
    result.how = how;
    result.step = board.read();
    (void)pause;
#else
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        result.started = false;
        result.how = "the child process could not be started";
        return result;
    }
    if (child == 0) {
        // A normal exit, so that a leak checker built in sees the child's end.
        std::exit(runChildJob(job, records, board.usable() ? &board : nullptr));
    }
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        reader.poll(take);
        tick();
        if (done == child) {
            break;
        }
        if (clock.expired()) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            reader.poll(take);
            result.hung = true;
            break;
        }
        pause();
    }
    if (WIFSIGNALED(status)) {
        result.exitCode = 128 + WTERMSIG(status);
        result.how = "the process was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
                     strsignal(WTERMSIG(status)) + ")";
    } else {
        result.exitCode = WEXITSTATUS(status);
        result.how = "the process ended with status " + std::to_string(result.exitCode);
    }
    result.step = board.read();
#endif
    return result;
}
