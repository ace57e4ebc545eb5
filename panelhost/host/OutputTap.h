// OutputTap: keeps what the component writes to standard output apart from
// panelhost's own output. While the object lives, standard output (and on
// Windows standard error; elsewhere standard error is the debugger output that
// DebugTap reads) goes to a private file of each stream, and take() after each
// step returns what the step wrote. The C runtime's buffers are flushed first,
// so what the component printed through them is there too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class OutputTap {
public:
    OutputTap();
    ~OutputTap(); // the streams go back where they went, and the files are removed
    OutputTap(const OutputTap&) = delete;
    OutputTap& operator=(const OutputTap&) = delete;

    struct Text {
        const char* stream; // "stdout" or "stderr"
        std::string text;
    };
    // What was written since the last take, by stream; nothing when nothing was.
    std::vector<Text> take();

private:
    struct Tapped {
        int fd = -1;
        const char* name = nullptr;
        int saved = -1;              // the descriptor it had before
        std::string path;            // the private file
        std::FILE* reader = nullptr; // reads the file from the last take on
        long long read = 0;
    };
    void tap(Tapped& tapped, int fd, const char* name);
    std::vector<Tapped> m_streams;
};
