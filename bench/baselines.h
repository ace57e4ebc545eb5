// The baselines: for each measured operation, the least work that produces the
// same result from the same input, written directly on the C library. A
// benchmark's cost is reported as a ratio to its baseline, so what the ratio
// shows is the overhead of the library's way of doing it.
#pragma once

#include "NullHost.h"

#include <cstddef>
#include <string>
#include <vector>

class ClientHost;

namespace baseline {

// A parse: one allocation, one copy and one scan for the separators.
void parse(const char* text);
// A reply split into words: one allocation, one copy and one scan.
void decode(const char* text);
// A format with its marker filled: one scan for the marker, then the three pieces
// copied into a result sized once (on the stack when short, like the library's).
void fill(const char* format, const char* value);
void fillNumber(const char* format, int value);
// Key and value: one search for the separator and two copies.
void split(const char* text, char separator);
// A list from a text: one scan counting pieces, one array, one copy of each piece.
void list(const char* text, char separator);
// Entries joined by a separator: lengths summed, one result, one copy of each.
void join(const std::vector<std::string>& entries, char separator);

// The least work of one parent command: its parse, then the same host traffic
// (each command copied once into a stack buffer and sent, each reply that the
// channel reads copied or decoded once and given back), each object-settings read
// as one unbuffered read of the file, and the reply array when there is one.
struct Road {
    std::string text;
    std::vector<NullHost::Step> steps;
    int settingsReads;
    std::string reply; // empty when the command is not answered
};
void road(const Road& road, ClientHost& host, const char* settingsFile);

} // namespace baseline
