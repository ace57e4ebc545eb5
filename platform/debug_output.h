// The debugger output. On Windows this is the system's OutputDebugStringA in
// kernel32, declared here rather than through <windows.h> so that every Windows
// compiler of this project (Microsoft's, clang in Microsoft mode, MinGW) sees the
// same one line; on other platforms the stand-in of that name writes the text
// unchanged to standard error, nothing added, and flushes it. The text is the
// caller's, NUL-terminated, read only during the call.
#pragma once

#include "tarn_export.h"

extern "C" TARN_SYSTEM_IMPORT void TARN_STDCALL OutputDebugStringA(const char* text);
