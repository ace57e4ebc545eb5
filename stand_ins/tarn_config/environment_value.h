// One variable of the process environment (the configuration root), read as
// the platform lets a library read it.
#pragma once

// The value of `name`, or null when it is unset or empty. On Windows the value
// is copied into `buffer` (`size` bytes) or, when it is longer, into a malloc'ed
// block that `allocated` then holds for the caller to free; elsewhere it points
// into the environment, valid until the environment changes.
const char* environmentValue(const char* name, char* buffer, unsigned long size, char*& allocated);
