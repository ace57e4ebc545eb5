#include "Demangle.h"

#include <cstdlib>
#include <cxxabi.h>

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
    if (!symbol.empty() && symbol[0] == '?') {
        return undecorateMicrosoft(symbol);
    }
    return symbol;
}
