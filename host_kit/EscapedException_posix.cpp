#include "EscapedException.h"

std::string describeMicrosoftException(const void*) {
    return std::string(); // no structured exceptions here
}
