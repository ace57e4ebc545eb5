// Demangle: a linker-level name as a person reads it, for reports that name a
// C++ member. GCC's (Itanium) names are read on every platform; Microsoft's
// decorated names where the platform can read them (Windows, through dbghelp).
// A name that cannot be read comes back unchanged.
#pragma once

#include <string>

std::string demangle(const std::string& symbol);
// A type's name as std::type_info::name() gives it (GCC and clang mangle it,
// without the "_Z" of a symbol), as a person reads it.
std::string demangleType(const char* name);
// A Microsoft decorated name ("?...") as a person reads it where the platform
// can read it (Windows); unchanged elsewhere.
std::string undecorateMicrosoft(const std::string& symbol);
