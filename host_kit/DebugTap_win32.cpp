#include "DebugTap.h"

#include <windows.h>

namespace {

// The exception code of OutputDebugStringA's debug print, for headers that lack it.
const DWORD DebugPrintException = 0x40010006;

std::string captured;

LONG CALLBACK takeDebugPrint(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DebugPrintException && record->NumberParameters >= 2) {
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

std::string DebugTap::problem() const {
    return std::string();
}

bool DebugTap::readsStandardError() {
    return false;
}
