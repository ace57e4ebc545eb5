#include "ProcessCounts.h"

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>

namespace {

#if defined(__GNUC__)
// The threads of the process, counted as the loader tells each one's start and
// end to the program's thread callbacks: a snapshot of the system's threads
// costs a host as much as hundreds of events, and Wine far more.
std::atomic<int> liveThreads{0};

void NTAPI onThread(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
        liveThreads.fetch_add(1);
    } else if (reason == DLL_THREAD_DETACH) {
        liveThreads.fetch_sub(1);
    }
}

// Among the program's thread callbacks, which the C runtime's table gathers.
__attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK threadCallback = onThread;
#endif

} // namespace

namespace process_counts {

int openHandles() {
    DWORD count = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &count) ? static_cast<int>(count) : -1;
}

int runningThreads() {
#if defined(__GNUC__)
    return liveThreads.load();
#else
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    const DWORD process = GetCurrentProcessId();
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == process;
    }
    CloseHandle(snapshot);
    return count;
#endif
}

} // namespace process_counts
