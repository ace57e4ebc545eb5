// Export and calling-convention macros for every library boundary of the system:
// the component library's factory, the host's tables, and the classes that the
// framework libraries tarn_string and tarn_config export. Nothing else belongs here.
#pragma once

#if defined(_WIN32)
#define TARN_CDECL __cdecl
#define TARN_DLL_EXPORT __declspec(dllexport)
#define TARN_DLL_IMPORT __declspec(dllimport)
// A function of the system's own DLLs (kernel32), as their headers declare it.
#define TARN_SYSTEM_IMPORT __declspec(dllimport)
#define TARN_STDCALL __stdcall
#else
#define TARN_CDECL
#define TARN_DLL_EXPORT __attribute__((visibility("default")))
#define TARN_DLL_IMPORT __attribute__((visibility("default")))
#define TARN_SYSTEM_IMPORT
#define TARN_STDCALL
#endif

// The member functions in the host's tables on 32-bit Windows: the object in ECX,
// the callee pops its arguments. x86-64 and Linux have one convention only.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#if defined(_MSC_VER)
#define TARN_THISCALL __thiscall
#else
#define TARN_THISCALL __attribute__((thiscall))
#endif
#else
#define TARN_THISCALL
#endif

// Windows panel hosts are built with Microsoft's compiler, so on Windows every
// table the host sees follows Microsoft's C++ ABI. A compiler that speaks that ABI
// itself (_MSC_VER) builds the table from the plain declarations; any other
// Windows compiler (MinGW GCC) gets the Microsoft table spelled out by hand. The
// callback interface is the one table where the two ABIs differ.
#if defined(_WIN32) && !defined(_MSC_VER)
#define TARN_MICROSOFT_TABLE_BY_HAND 1
#else
#define TARN_MICROSOFT_TABLE_BY_HAND 0
#endif

// Keeps a symbol that nothing references (the frame's signature record): GNU
// compilers by an attribute; Microsoft's linker is told by the link options of
// the library that holds it (/INCLUDE).
#if defined(_MSC_VER)
#define TARN_KEEP
#else
#define TARN_KEEP __attribute__((used))
#endif

#if defined(TARN_STRING_BUILDING)
#define TARN_STRING_API TARN_DLL_EXPORT
#else
#define TARN_STRING_API TARN_DLL_IMPORT
#endif

#if defined(TARN_CONFIG_BUILDING)
#define TARN_CONFIG_API TARN_DLL_EXPORT
#else
#define TARN_CONFIG_API TARN_DLL_IMPORT
#endif

// The component library exports its factory under the plain C name, cdecl, and
// nothing else; hosts resolve it by that name with the platform loader.
#define TARN_COMPONENT_EXPORT extern "C" TARN_DLL_EXPORT
