// HostThread: the thread on which the child calls the component, as a panel
// host's own thread calls it. A host thread's stack is what the host gives it
// (on Windows the linker's default reserve, 1 MiB), not the 8 MiB a program's
// main thread has here, so a component that needs more fails in the child as it
// would on air. Below the stack lies a region that no access may touch, so that
// running out of it is a fault whose address says so. Every memory fault of the
// process is told to a note first (natively on a stack of its own, since the
// fault may be the stack's own end), then ends the process as it would have.
// Natively a POSIX thread on a stack of its own mapping; on Windows a thread
// created with that stack reserve.
#pragma once

#include <cstddef>
#include <functional>

// A memory fault as the platform reports it: the address touched, and how.
struct MemoryFault {
    enum class Access { Unknown, Read, Write };
    const void* address = nullptr;
    Access access = Access::Unknown;
    bool stackExhausted = false; // the host thread's stack ran out
};

// Told of a memory fault before the process ends; it may only do what a
// signal handler may (no allocation, no lock).
using FaultNote = void (*)(const MemoryFault& fault);

// Runs `body` on a host thread whose stack is `stackBytes` and waits for it to
// end, with `note` told of every memory fault meanwhile. False, with nothing
// run, when no such thread can be made.
bool runOnHostThread(std::size_t stackBytes, const std::function<void()>& body, FaultNote note);
