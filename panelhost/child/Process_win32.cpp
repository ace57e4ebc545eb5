#include "child/Process.h"

#include "EscapedException.h"
#include "output/OutputFile.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <windows.h>

namespace {

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

HANDLE handleOf(std::intptr_t process) {
    return reinterpret_cast<HANDLE>(process);
}

void describeEnd(HANDLE process, int& exitCode, std::string& how) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    exitCode = static_cast<int>(code);
    char text[160];
    if (code == MicrosoftCppException) {
        std::snprintf(text, sizeof text,
                      "the process died of exception 0x%08lX (a C++ exception of Microsoft's "
                      "runtime that no one caught)",
                      static_cast<unsigned long>(code));
    } else if (code >= 0xC0000000u) {
        std::snprintf(text, sizeof text, "the process died of exception 0x%08lX",
                      static_cast<unsigned long>(code));
    } else {
        std::snprintf(text, sizeof text, "the process ended with status %lu",
                      static_cast<unsigned long>(code));
    }
    how = text;
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

} // namespace

bool RunningChild::start(const ChildJob& job, const std::string& records, StepBoard& board,
                         std::string& error) {
    if (job.fed()) {
        // Only the live mode feeds its child, and panelhost.exe has no live mode.
        error = "a child fed by its parent is not made on Windows";
        return false;
    }
    m_jobFile = records + ".job";
    ChildJob named = job;
    named.board = board.name();
    std::string reason;
    if (!writeWholeFile(m_jobFile, jobToJson(named), reason)) {
        error = "panelhost could not write the child's job to " + m_jobFile + ": " + reason;
        m_jobFile.clear();
        return false;
    }
    const std::string program = thisProgramPath();
    std::string commandLine = quoteArgument(program) + " --child " + quoteArgument(records) + " " +
                              quoteArgument(m_jobFile);
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
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        error = "the child process could not be started";
        return false;
    }
    CloseHandle(process.hThread);
    m_process = reinterpret_cast<std::intptr_t>(process.hProcess);
    m_running = true;
    return true;
}

bool RunningChild::send(const std::string&) {
    return false;
}

void RunningChild::close() {}

bool RunningChild::flushInput() {
    return false;
}

bool RunningChild::waitBriefly() {
    if (WaitForSingleObject(handleOf(m_process), 5) != WAIT_OBJECT_0) {
        return false;
    }
    m_running = false;
    describeEnd(handleOf(m_process), m_exitCode, m_how);
    return true;
}

void RunningChild::kill() {
    TerminateProcess(handleOf(m_process), 0xDEAD);
    WaitForSingleObject(handleOf(m_process), INFINITE);
    m_running = false;
    describeEnd(handleOf(m_process), m_exitCode, m_how);
}

RunningChild::~RunningChild() {
    if (m_running) {
        kill();
    }
    if (m_process != -1) {
        CloseHandle(handleOf(m_process));
    }
    // Removed however the child ended.
    if (!m_jobFile.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_jobFile, ignored);
    }
}

std::string thisProgramPath() {
    std::string program(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, &program[0], static_cast<DWORD>(program.size()));
        if (length == 0 || program.size() > 32768) { // the longest path Windows has
            return std::string();
        }
        if (length < program.size()) {
            program.resize(length);
            return program;
        }
        program.resize(program.size() * 2); // cut short: a longer buffer
    }
}

bool isTerminal(int fd) {
    return _isatty(fd) != 0;
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void exitQuietlyOnCrash() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endQuietly);
}

void sayLastWords(void (*say)(const void* exceptionRecord)) {
    lastWords = say;
}
