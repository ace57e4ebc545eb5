// PeImage: what the Windows loader reads of a PE image (an .exe or a .dll) before
// it runs any of it: the machine it is built for, the functions it imports from
// each DLL, and the functions it exports. Read from the file's bytes, so any
// platform can read any image; every offset in the file is checked, so a
// truncated or hostile file gives an error, never a bad read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PeImage {
    enum class Machine { I386, Amd64, Other };

    // One imported function: by name, or by ordinal alone (name empty).
    struct Import {
        std::string name;
        std::uint32_t ordinal = 0;
    };
    struct ImportedDll {
        std::string dll; // as the image names it
        std::vector<Import> functions;
    };

    Machine machine = Machine::Other;
    std::uint16_t machineCode = 0;
    bool wide = false; // PE32+ (64-bit), else PE32
    std::vector<ImportedDll> imports;
    std::vector<std::string> exportNames;       // the exports that have names
    std::vector<std::uint32_t> exportOrdinals;  // every export that has an address
    std::vector<std::uint32_t> unnamedOrdinals; // the exports reached by ordinal alone

    // Reads the image at `path`; false with a one-line reason when the file
    // cannot be read or is not a well-formed PE image.
    static bool read(const std::string& path, PeImage& out, std::string& error);
    // The same from bytes already in memory.
    static bool parse(const std::vector<unsigned char>& bytes, PeImage& out, std::string& error);
    // The headers alone (machine, width), from the file's first bytes: what the
    // image is built for, also when its tables lie beyond them.
    static bool parseHeader(const std::vector<unsigned char>& bytes, PeImage& out,
                            std::string& error);
    // Whether the file begins like a PE image (the "MZ" of its DOS header).
    static bool looksLikePe(const std::string& path);

    bool exports(const std::string& name) const;
    bool exportsOrdinal(std::uint32_t ordinal) const;
};
