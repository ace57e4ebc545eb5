// DiskFile: the platform's part of writing a file whole (OutputFile): making a
// written file reach the disk, and putting a file in another's place in one
// step, so that the target is either the old file or the new one.
#pragma once

#include <cstdio>
#include <string>

// Flushes `file` to the disk (not only to the system's cache); false when the
// system says it failed. The file stays open.
bool flushToDisk(std::FILE* file);
// Puts `from` in place of `to`, replacing a file there; false with the reason.
bool replaceFile(const std::string& from, const std::string& to, std::string& reason);
// Whether replaceFile can put a file in place of `to` as far as `to` itself
// goes (its folder aside); false with the reason.
bool replaceable(const std::string& to, std::string& reason);
