// DebugTap: collects what the component writes to the debugger output. On
// Windows OutputDebugStringA raises a debug-print exception that a vectored
// handler takes, as a debugger would; elsewhere the component's stand-in writes
// to standard error, which is pointed at a private file from the first begin
// until the tap is destroyed, and read back by each end.
#pragma once

#include "StreamCapture.h"

#include <memory>
#include <string>

class DebugTap {
public:
    DebugTap();
    ~DebugTap();
    DebugTap(const DebugTap&) = delete;
    DebugTap& operator=(const DebugTap&) = delete;

    void begin();
    // Everything written since the last end() (or the first begin()).
    std::string end();
    // Why what end() hands back may not be all that was written; empty while it is.
    std::string problem() const;
    // Whether the debugger output is standard error here (off Windows), so that
    // nothing else may take that stream.
    static bool readsStandardError();

private:
    void* m_handle = nullptr;                 // Windows: the vectored handler
    std::unique_ptr<StreamCapture> m_capture; // elsewhere: standard error, from the first begin
};
