#include "child/HostThread.h"

#include <windows.h>

namespace {

FaultNote faultNote = nullptr;

// Sees every exception first and only notes the memory faults: what becomes of
// each is the handlers' after it, and in the end the crash filter's.
LONG CALLBACK noteFault(EXCEPTION_POINTERS* information) {
    const EXCEPTION_RECORD& record = *information->ExceptionRecord;
    const FaultNote note = faultNote;
    if (note == nullptr) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    MemoryFault fault;
    if (record.ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
        fault.stackExhausted = true;
        note(fault);
    } else if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        fault.address = reinterpret_cast<const void*>(record.ExceptionInformation[1]);
        fault.access = record.ExceptionInformation[0] == 1   ? MemoryFault::Access::Write
                       : record.ExceptionInformation[0] == 0 ? MemoryFault::Access::Read
                                                             : MemoryFault::Access::Unknown;
        note(fault);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI hostMain(LPVOID argument) {
    (*static_cast<const std::function<void()>*>(argument))();
    return 0;
}

} // namespace

bool runOnHostThread(std::size_t stackBytes, const std::function<void()>& body, FaultNote note) {
    faultNote = note;
    void* handler = AddVectoredExceptionHandler(1, noteFault);
    HANDLE thread =
        CreateThread(nullptr, stackBytes, hostMain, const_cast<std::function<void()>*>(&body),
                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (handler != nullptr) {
        RemoveVectoredExceptionHandler(handler);
    }
    faultNote = nullptr;
    return thread != nullptr;
}
