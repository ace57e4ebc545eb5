// ScenarioInput: the text of a scenario, read from a file or, for "-", from
// standard input, exactly and within bounds. A scenario larger than
// `scenarioBytes`, or with a line longer than `lineBytes`, is refused with that
// reason: a regular file before it is read, a device, FIFO or standard input as
// soon as the bound is passed. A byte that no text holds (NUL and every control
// byte but tab, line feed, vertical tab, form feed and carriage return) refuses
// the input as not a text file, with the offset of that byte. A UTF-8
// byte-order mark at the start is skipped.
#pragma once

#include <cstdint>
#include <string>

struct InputLimits {
    std::uint64_t scenarioBytes = 64ull << 20; // 64 MiB
    std::uint64_t lineBytes = 1ull << 20;      // 1 MiB
};

// The name under which standard input ("-") is reported.
extern const char* const StandardInputName;

// False with a one-line reason (naming the input) when it cannot be read or is
// refused.
bool readScenarioInput(const std::string& path, std::string& text, std::string& error,
                       const InputLimits& limits = InputLimits());
