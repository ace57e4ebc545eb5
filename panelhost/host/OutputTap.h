// OutputTap: keeps what the component writes to standard output apart from
// panelhost's own output. While the object lives, standard output (and on
// Windows standard error; elsewhere standard error is the debugger output that
// DebugTap reads) goes to a private file of each stream, and take() after each
// step returns what the step wrote. The C runtime's buffers are flushed first,
// so what the component printed through them is there too.
#pragma once

#include "StreamCapture.h"

#include <memory>
#include <string>
#include <vector>

class OutputTap {
public:
    OutputTap();
    OutputTap(const OutputTap&) = delete;
    OutputTap& operator=(const OutputTap&) = delete;

    struct Text {
        const char* stream; // "stdout" or "stderr"
        std::string text;
    };
    // What was written since the last take, by stream; nothing when nothing was.
    std::vector<Text> take();
    // Why what take() hands back may not be all that was written; empty while it is.
    std::string problem() const;

private:
    struct Tapped {
        const char* name;
        std::unique_ptr<StreamCapture> capture;
    };
    std::vector<Tapped> m_streams;
};
