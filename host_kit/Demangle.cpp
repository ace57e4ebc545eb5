#include "Demangle.h"

#include <cstdlib>
#include <cxxabi.h>

#if defined(_WIN32)
#include <windows.h>
// dbghelp.h after windows.h, which it needs.
#include <dbghelp.h>
#endif

namespace {

std::string itanium(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = status == 0 && readable != nullptr ? readable : name;
    std::free(readable);
    return out;
}

} // namespace

std::string demangleType(const char* name) {
    return name != nullptr ? itanium(name) : std::string();
}

std::string demangle(const std::string& symbol) {
    if (symbol.compare(0, 2, "_Z") == 0) {
        return itanium(symbol.c_str());
    }
#if defined(_WIN32)
    if (!symbol.empty() && symbol[0] == '?') {
        char readable[1024];
        if (UnDecorateSymbolName(symbol.c_str(), readable, sizeof readable, UNDNAME_COMPLETE) !=
            0) {
            return readable;
        }
    }
#endif
    return symbol;
}
