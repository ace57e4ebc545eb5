#include "Environment.h"

#include <cstdlib>

void setEnvironmentVariable(const char* name, const char* value) {
    _putenv_s(name, value != nullptr ? value : ""); // an empty value removes it
}
