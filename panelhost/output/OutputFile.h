// The files panelhost writes besides standard output (a recorded scenario, a
// JUnit report, a page, a replay scenario, the starter's files): checked before
// anything runs, so that a run never ends by finding that its report cannot be
// written, and written whole or not at all: the text goes to a temporary file
// beside the target, reaches the disk, and only then takes the target's place,
// so that a full disk never leaves a file cut short, nor an earlier file lost.
// Written as bytes, lines ending in a line feed on every platform.
#pragma once

#include <string>

// False with the reason when `path` cannot be written as writeWholeFile writes
// it (a folder, a folder that takes no new file, a file that cannot be
// replaced). Leaves no file behind that was not there.
bool checkWritable(const std::string& path, std::string& reason);
// Writes `text` to `path` whole; false with the reason when it could not, and
// then whatever was at `path` is as it was and no temporary file is left.
bool writeWholeFile(const std::string& path, const std::string& text, std::string& reason);
// How a failed write is told: "cannot write WHAT to PATH: REASON; ...".
std::string cannotWrite(const std::string& what, const std::string& path,
                        const std::string& reason);
