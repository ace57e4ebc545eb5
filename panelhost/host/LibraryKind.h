// LibraryKind: what a library file is built for, read from its header: an ELF
// or PE file, 32 or 64 bits, and the machine. A library that the platform
// loader refuses is described by it, so that a 32-bit panelhost given a 64-bit
// library (or a Linux one given a Windows DLL) says which is which.
#pragma once

#include <string>

struct LibraryKind {
    std::string system; // "Linux" (ELF) or "Windows" (PE); empty when neither
    int bits = 0;
    std::string machine; // "i686", "x86-64" or the machine number

    bool known() const { return !system.empty(); }
    // "a 64-bit Windows library (x86-64)".
    std::string described() const;
    bool operator==(const LibraryKind& other) const {
        return system == other.system && bits == other.bits && machine == other.machine;
    }
};

// The kind of the file at `path`; unknown (empty system) for anything else.
LibraryKind libraryKindOf(const std::string& path);
// What this program is, to set against a library: a library of another kind
// cannot be loaded by it.
LibraryKind thisProgramKind();
