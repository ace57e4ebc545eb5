#include "clamped_atoi.h"

#include <cctype>
#include <climits>

int clamped_atoi(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    while (std::isspace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Accumulate as a negative number so INT_MIN is reachable without overflow.
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 - (*text - '0');
        if (value < INT_MIN) {
            return negative ? INT_MIN : INT_MAX;
        }
    }
    if (!negative) {
        return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
    }
    return static_cast<int>(value);
}
