#include "DebugCapture.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

namespace {
std::string captured;

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

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

DebugCapture::DebugCapture() : m_handler(AddVectoredExceptionHandler(1, takeDebugPrint)) {
    captured.clear();
}

DebugCapture::~DebugCapture() {
    RemoveVectoredExceptionHandler(m_handler);
}

std::string DebugCapture::take() {
    std::string text;
    text.swap(captured);
    return text;
}

#else

DebugCapture::DebugCapture() {
    testing::internal::CaptureStderr();
}

DebugCapture::~DebugCapture() {
    testing::internal::GetCapturedStderr();
}

std::string DebugCapture::take() {
    std::string text = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    return text;
}

#endif
