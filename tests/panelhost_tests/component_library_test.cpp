#include "LoadCheck.h"
#include "host/ComponentLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The first bytes of a library of each kind: enough for its header to say what
// it is, and for every loader to refuse it.
std::string header(bool pe, bool wide) {
    std::string bytes(512, '\0');
    if (pe) {
        bytes[0] = 'M';
        bytes[1] = 'Z';
        bytes[0x3C] = 0x40;
        bytes.replace(0x40, 4, std::string("PE\0\0", 4));
        bytes[0x44] = static_cast<char>(wide ? 0x64 : 0x4C);
        bytes[0x45] = static_cast<char>(wide ? 0x86 : 0x01);
        bytes[0x58] = 0x0B;
        bytes[0x59] = static_cast<char>(wide ? 0x02 : 0x01);
    } else {
        bytes.replace(0, 4,
                      "\x7F"
                      "ELF");
        bytes[4] = static_cast<char>(wide ? 2 : 1);
        bytes[18] = static_cast<char>(wide ? 62 : 3);
    }
    return bytes;
}

TEST(panelhost_ComponentLibrary, ALibraryOfAnotherKindSaysWhichIsWhich) {
    const struct {
        bool pe, wide;
        const char* described;
    } cases[] = {
        {true, false, "a 32-bit Windows library (i686)"},
        {true, true, "a 64-bit Windows library (x86-64)"},
        {false, false, "a 32-bit Linux library (i686)"},
        {false, true, "a 64-bit Linux library (x86-64)"},
    };
    const std::string program = std::to_string(sizeof(void*) * 8) + "-bit";
    for (const auto& c : cases) {
        const std::string path =
            (std::filesystem::temp_directory_path() / "panelhost-kind.bin").string();
        std::ofstream(path, std::ios::binary) << header(c.pe, c.wide);
        EXPECT_EQ(libraryKindOf(path).described(), c.described);
        std::string error;
        EXPECT_EQ(ComponentLibrary::open(path, error), nullptr) << c.described;
        std::remove(path.c_str());
        // A header alone of this program's own kind fails for another reason.
        if (error.find("this panelhost is") != std::string::npos) {
            EXPECT_NE(error.find(std::string("it is ") + c.described), std::string::npos) << error;
            EXPECT_NE(error.find("this panelhost is a " + program), std::string::npos) << error;
        }
    }
}

} // namespace
