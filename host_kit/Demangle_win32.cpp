#include "Demangle.h"

#include <windows.h>
// dbghelp.h after windows.h, which it needs.
#include <dbghelp.h>

std::string undecorateMicrosoft(const std::string& symbol) {
    char readable[1024];
    if (UnDecorateSymbolName(symbol.c_str(), readable, sizeof readable, UNDNAME_COMPLETE) != 0) {
        return readable;
    }
    return symbol;
}
