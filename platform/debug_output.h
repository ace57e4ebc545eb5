// The debugger output. On Windows this is the system's OutputDebugStringA; on
// other platforms the stand-in of that name writes the text unchanged to standard
// error, nothing added, and flushes it. The text is the caller's, NUL-terminated,
// read only during the call.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
extern "C" void OutputDebugStringA(const char* text);
#endif
