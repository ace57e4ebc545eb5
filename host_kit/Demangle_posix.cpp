#include "Demangle.h"

std::string undecorateMicrosoft(const std::string& symbol) {
    return symbol; // no reader of Microsoft's names here
}
