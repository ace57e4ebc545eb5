// Stand-in for the Windows debugger output on other platforms: the text goes to
// standard error unchanged, with nothing added, and is flushed at once so that it
// interleaves correctly with anything else the process writes.
#include "debug_output.h"

#include <cstdio>
#include <cstring>

extern "C" void OutputDebugStringA(const char* text) {
    if (text == nullptr) {
        return;
    }
    std::fwrite(text, 1, std::strlen(text), stderr);
    std::fflush(stderr);
}
