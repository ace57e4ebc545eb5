// DebugCapture: collects what the code under test writes to the debugger output
// while the object lives, through the same tap the simulator reads it with.
#pragma once

#include "DebugTap.h"

#include <string>

class DebugCapture {
public:
    DebugCapture() { m_tap.begin(); }
    ~DebugCapture() { m_tap.end(); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // Everything written since construction or the last take(); clears it.
    std::string take() {
        std::string text = m_tap.end();
        m_tap.begin();
        return text;
    }

private:
    DebugTap m_tap;
};
