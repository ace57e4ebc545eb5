#include "environment_value.h"

#include <cstdlib>

const char* environmentValue(const char* name, char*, unsigned long, char*& allocated) {
    allocated = nullptr;
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}
