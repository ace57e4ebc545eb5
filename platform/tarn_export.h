// Export and calling-convention macros for every library boundary of the system:
// the component library's factory, and the classes that the framework libraries
// tarn_string and tarn_config export. Nothing else belongs here.
#pragma once

#if defined(_WIN32)
#define TARN_CDECL __cdecl
#define TARN_DLL_EXPORT __declspec(dllexport)
#define TARN_DLL_IMPORT __declspec(dllimport)
#else
#define TARN_CDECL
#define TARN_DLL_EXPORT __attribute__((visibility("default")))
#define TARN_DLL_IMPORT __attribute__((visibility("default")))
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
