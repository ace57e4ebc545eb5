#include "DebugTap.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>

namespace {

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

std::string captured;

LONG CALLBACK takeDebugPrint(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const ULONG_PTR length = record->ExceptionInformation[0];
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        if (text != nullptr && length > 0) {
            captured.append(text, length - 1); // the length counts the NUL
        }
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

DebugTap::DebugTap() : m_handle(AddVectoredExceptionHandler(1, takeDebugPrint)) {}

DebugTap::~DebugTap() {
    RemoveVectoredExceptionHandler(m_handle);
}

void DebugTap::begin() {
    captured.clear();
}

std::string DebugTap::end() {
    std::string text;
    text.swap(captured);
    return text;
}

#else
#include <unistd.h>

DebugTap::DebugTap() : m_handle(std::tmpfile()) {}

DebugTap::~DebugTap() {
    if (m_savedError >= 0) {
        std::fflush(stderr);
        dup2(m_savedError, 2);
        close(m_savedError);
    }
    if (m_handle != nullptr) {
        std::fclose(static_cast<std::FILE*>(m_handle));
    }
}

void DebugTap::begin() {
    if (m_handle == nullptr || m_savedError >= 0) {
        return;
    }
    std::fflush(stderr);
    m_savedError = dup(2);
    dup2(fileno(static_cast<std::FILE*>(m_handle)), 2);
}

std::string DebugTap::end() {
    if (m_handle == nullptr || m_savedError < 0) {
        return std::string();
    }
    std::fflush(stderr);
    // Standard error stays pointed at the capture file, so that a step costs one
    // look at the file's end and nothing more when nothing was written.
    const long written = static_cast<long>(lseek(2, 0, SEEK_CUR));
    if (written <= m_read) {
        return std::string();
    }
    std::FILE* file = static_cast<std::FILE*>(m_handle);
    std::string text;
    std::fseek(file, m_read, SEEK_SET);
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    m_read += static_cast<long>(text.size());
    return text;
}

#endif
