// The start-up half of the runtime that Microsoft's static C runtime gives every
// DLL it links, for the project's Microsoft-mode builds that have no Microsoft
// runtime at hand (clang-cl on Linux; a build with Microsoft's own compiler takes
// all of this from its runtime and never compiles this file):
//  - the entry point, which seeds the stack-protection cookie, runs the C++
//    initialisers of the DLL's globals on load and their exit handlers on unload;
//  - the stack-protection cookie and its check;
//  - atexit, with handlers that belong to this DLL and run when it is unloaded;
//  - the handler of a call to a pure virtual function;
//  - _fltused, the marker the compiler references when floating point is used.
// This file is compiled without stack protection: it sets the cookie up.
//
// It includes no C runtime header, since it defines atexit itself and the C
// runtime's headers declare that one as imported.
#include "tarn_export.h"

#include <stddef.h>
#include <stdint.h>

// The system's calling convention (stdcall on 32-bit Windows).
#define RUNTIME_WINAPI TARN_STDCALL

extern "C" {
__declspec(dllimport) void RUNTIME_WINAPI GetSystemTimeAsFileTime(uint32_t* time);
__declspec(dllimport) unsigned long RUNTIME_WINAPI GetCurrentProcessId();
__declspec(dllimport) unsigned long RUNTIME_WINAPI GetCurrentThreadId();
__declspec(dllimport) unsigned long RUNTIME_WINAPI GetTickCount();
__declspec(dllimport) int RUNTIME_WINAPI QueryPerformanceCounter(int64_t* count);
__declspec(dllimport) void* RUNTIME_WINAPI GetCurrentProcess();
__declspec(dllimport) int RUNTIME_WINAPI TerminateProcess(void* process, unsigned code);
__declspec(dllimport) int RUNTIME_WINAPI DisableThreadLibraryCalls(void* module);
}

namespace {

const unsigned long ProcessDetach = 0;
const unsigned long ProcessAttach = 1;
// The status Microsoft's runtime ends a process with when a cookie was overwritten.
const unsigned StackBufferOverrun = 0xC0000409u;
const bool Wide = sizeof(void*) == 8;
const uintptr_t DefaultCookie =
    Wide ? static_cast<uintptr_t>(0x00002B992DDFA232ull) : static_cast<uintptr_t>(0xBB40E64Eu);

// The C++ initialisers of the DLL's globals: the compiler puts a pointer to each
// in a section .CRT$XCU, and the linker orders the sections by name between
// these two markers.
typedef void(__cdecl* Initializer)();
#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
__declspec(allocate(".CRT$XCA")) const Initializer firstInitializer = nullptr;
__declspec(allocate(".CRT$XCZ")) const Initializer lastInitializer = nullptr;

// Exit handlers registered with atexit, run in reverse order when the DLL is
// unloaded. The C standard asks for room for at least 32.
typedef void(__cdecl* ExitHandler)();
const int MaxExitHandlers = 64;
ExitHandler exitHandlers[MaxExitHandlers];
int exitHandlerCount = 0;

// A cookie that differs from process to process and from load to load, as
// Microsoft's runtime makes it.
void seedCookie(uintptr_t& cookie) {
    uint32_t time[2] = {0, 0};
    GetSystemTimeAsFileTime(time);
    int64_t counter = 0;
    QueryPerformanceCounter(&counter);
    uint64_t value = (static_cast<uint64_t>(time[1]) << 32 | time[0]) ^ GetCurrentProcessId() ^
                     (static_cast<uint64_t>(GetCurrentThreadId()) << 16) ^ GetTickCount() ^
                     static_cast<uint64_t>(counter) ^ (static_cast<uint64_t>(counter) << 32) ^
                     reinterpret_cast<uintptr_t>(&value);
    if (Wide) {
        value &= 0x0000FFFFFFFFFFFFull; // the top 16 bits stay clear on x64
    }
    const uintptr_t seeded = static_cast<uintptr_t>(value);
    cookie = seeded == 0 || seeded == DefaultCookie ? DefaultCookie + 1 : seeded;
}

void runInitializers() {
    for (const Initializer* each = &firstInitializer + 1; each < &lastInitializer; ++each) {
        if (*each != nullptr) { // the linker may pad between the sections
            (*each)();
        }
    }
}

void runExitHandlers() {
    while (exitHandlerCount > 0) {
        exitHandlers[--exitHandlerCount]();
    }
}

} // namespace

extern "C" {

uintptr_t __security_cookie = DefaultCookie;
int _fltused = 0;

// Called by every function that the compiler protected, with the cookie it kept
// on its frame: a difference means the frame's buffers overran, and the process
// ends at once rather than return through an overwritten frame.
void __fastcall __security_check_cookie(uintptr_t cookie) {
    if (cookie != __security_cookie) {
        TerminateProcess(GetCurrentProcess(), StackBufferOverrun);
    }
}

// Registers `handler` to run when this DLL is unloaded; 0, or -1 when there is
// no room left for it.
int __cdecl atexit(ExitHandler handler) {
    if (handler == nullptr || exitHandlerCount == MaxExitHandlers) {
        return -1;
    }
    exitHandlers[exitHandlerCount++] = handler;
    return 0;
}

// A pure virtual function was called: the object's table is not what its caller
// thinks (it was called during construction or destruction, or the object is
// gone). There is no sensible way on.
int __cdecl _purecall() {
    TerminateProcess(GetCurrentProcess(), StackBufferOverrun);
    return 0;
}

int RUNTIME_WINAPI _DllMainCRTStartup(void* module, unsigned long reason, void*) {
    if (reason == ProcessAttach) {
        seedCookie(__security_cookie);
        // The DLL keeps no per-thread state, so it wants no thread notices.
        DisableThreadLibraryCalls(module);
        runInitializers();
    } else if (reason == ProcessDetach) {
        runExitHandlers();
    }
    return 1;
}

} // extern "C"
