// The little that the Microsoft-mode test programs need in place of a C runtime:
// they are built with clang for the Microsoft C++ ABI, freestanding, and import
// nothing but kernel32. A panel host or a component built with Microsoft's
// compiler sees the component's tables exactly as these programs do.
#pragma once

#include "tarn_export.h"

#include <stddef.h>
#include <stdint.h>

extern "C" {
#define FS_WINAPI TARN_STDCALL
__declspec(dllimport) void* FS_WINAPI GetStdHandle(unsigned long which);
__declspec(dllimport) int FS_WINAPI WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) __declspec(noreturn) void FS_WINAPI ExitProcess(unsigned code);
__declspec(dllimport) void* FS_WINAPI LoadLibraryA(const char* name);
__declspec(dllimport) void* FS_WINAPI GetProcAddress(void* module, const char* name);
__declspec(dllimport) int FS_WINAPI FreeLibrary(void* module);
__declspec(dllimport) void* FS_WINAPI GetProcessHeap();
__declspec(dllimport) void* FS_WINAPI HeapAlloc(void* heap, unsigned long flags, size_t size);
__declspec(dllimport) int FS_WINAPI HeapFree(void* heap, unsigned long flags, void* block);
__declspec(dllimport) void FS_WINAPI
    RaiseException(unsigned long code, unsigned long flags, unsigned long count,
                   const uintptr_t* arguments);

// What the compiler may call on its own.
void* memcpy(void* to, const void* from, size_t size);
void* memset(void* to, int byte, size_t size);
int _purecall();
}

namespace fs {

size_t length(const char* text);
bool equal(const char* a, const char* b); // null equals only null
// Copies `text` into `to` (capacity `size`, NUL included), cut to fit.
void copy(char* to, size_t size, const char* text);
// Appends `text` to the NUL-terminated `to` (capacity `size`), cut to fit.
void append(char* to, size_t size, const char* text);
void appendNumber(char* to, size_t size, int number);
void print(const char* text);      // to standard output, unchanged
char* duplicate(const char* text); // on the process heap; release with operator delete[]

} // namespace fs
