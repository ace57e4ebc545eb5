// DebugCapture: collects what the code under test writes to the debugger output
// while the object lives. Natively the debug-output stand-in writes to standard
// error, which is captured; on Windows OutputDebugStringA raises a debug-print
// exception, which a vectored exception handler takes, as a debugger would.
#pragma once

#include <string>

class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // Everything written since construction or the last take(); clears it.
    std::string take();

private:
#if defined(_WIN32)
    void* m_handler; // the vectored exception handler
#endif
};
