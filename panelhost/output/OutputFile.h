// The files panelhost writes besides standard output (a JUnit report, a replay
// scenario): checked before anything runs, so that a run never ends by finding
// that its report cannot be written, and written as bytes, lines ending in a
// line feed on every platform.
#pragma once

#include <string>

// False with the reason when `path` cannot be written. Leaves no file behind
// that was not there.
bool checkWritable(const std::string& path, std::string& reason);
// False when the file could not be written whole.
bool writeFile(const std::string& path, const std::string& text);
