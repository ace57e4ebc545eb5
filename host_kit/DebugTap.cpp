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

DebugTap::DebugTap() = default;

DebugTap::~DebugTap() = default;

void DebugTap::begin() {
    if (!m_capture) {
        m_capture.reset(new StreamCapture(2));
    }
}

std::string DebugTap::end() {
    return m_capture ? m_capture->take() : std::string();
}

#endif
