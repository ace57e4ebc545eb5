// The PE reader and the import check, on images made here byte by byte: what
// they read of a well-formed image of either width, that no damaged image makes
// them read outside the file, and which imports the check finds unresolved.
#include "LoadCheck.h"
#include "PeImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Function {
    std::string name; // empty: by ordinal
    std::uint32_t ordinal = 0;
};
struct Dll {
    std::string name;
    std::vector<Function> functions;
};
struct Layout {
    bool wide = false;
    std::vector<Dll> imports;
    std::vector<std::string> exports; // named exports; then `unnamed` ordinal-only ones
    int unnamed = 0;
};

// A minimal image: headers, then one section at RVA 0x1000 (file offset 0x200)
// that holds the import and export tables.
std::vector<unsigned char> makeImage(const Layout& layout) {
    const std::uint32_t sectionRva = 0x1000, sectionFile = 0x200;
    std::vector<unsigned char> data; // the section's bytes
    const auto put = [](std::vector<unsigned char>& to, std::size_t at, std::uint64_t value,
                        int width) {
        if (to.size() < at + width) {
            to.resize(at + width);
        }
        for (int i = 0; i < width; ++i) {
            to[at + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    };
    const auto text = [&](const std::string& value) {
        const std::uint32_t at = static_cast<std::uint32_t>(data.size());
        data.insert(data.end(), value.begin(), value.end());
        data.push_back(0);
        return sectionRva + at;
    };
    const int width = layout.wide ? 8 : 4;
    // Import descriptors first (one per DLL and a zero one), then each table.
    const std::uint32_t importRva = sectionRva;
    data.resize(20 * (layout.imports.size() + 1));
    for (std::size_t d = 0; d < layout.imports.size(); ++d) {
        const Dll& dll = layout.imports[d];
        const std::uint32_t thunks = sectionRva + static_cast<std::uint32_t>(data.size());
        data.resize(data.size() + width * (dll.functions.size() + 1));
        for (std::size_t f = 0; f < dll.functions.size(); ++f) {
            const Function& function = dll.functions[f];
            std::uint64_t thunk = 0;
            if (function.name.empty()) {
                thunk = (layout.wide ? 1ull << 63 : 1ull << 31) | function.ordinal;
            } else {
                thunk = text(std::string(2, '\0') + function.name); // hint, then name
            }
            put(data, thunks - sectionRva + f * width, thunk, width);
        }
        put(data, 20 * d, thunks, 4);
        put(data, 20 * d + 12, text(dll.name), 4);
        put(data, 20 * d + 16, thunks, 4);
    }
    std::uint32_t exportRva = 0;
    if (!layout.exports.empty() || layout.unnamed > 0) {
        const std::uint32_t count = static_cast<std::uint32_t>(layout.exports.size()) +
                                    static_cast<std::uint32_t>(layout.unnamed);
        exportRva = sectionRva + static_cast<std::uint32_t>(data.size());
        const std::size_t directory = data.size();
        data.resize(directory + 40);
        const std::uint32_t addresses = sectionRva + static_cast<std::uint32_t>(data.size());
        for (std::uint32_t i = 0; i < count; ++i) {
            put(data, data.size(), 0x2000 + i, 4);
        }
        const std::uint32_t names = sectionRva + static_cast<std::uint32_t>(data.size());
        data.resize(data.size() + 4 * layout.exports.size());
        const std::uint32_t ordinals = sectionRva + static_cast<std::uint32_t>(data.size());
        data.resize(data.size() + 2 * layout.exports.size());
        for (std::size_t i = 0; i < layout.exports.size(); ++i) {
            put(data, names - sectionRva + 4 * i, text(layout.exports[i]), 4);
            put(data, ordinals - sectionRva + 2 * i, i, 2);
        }
        put(data, directory + 16, 1, 4); // ordinal base
        put(data, directory + 20, count, 4);
        put(data, directory + 24, layout.exports.size(), 4);
        put(data, directory + 28, addresses, 4);
        put(data, directory + 32, names, 4);
        put(data, directory + 36, ordinals, 4);
    }

    std::vector<unsigned char> image(sectionFile);
    image[0] = 'M';
    image[1] = 'Z';
    put(image, 0x3c, 0x40, 4);
    put(image, 0x40, 0x00004550, 4);
    const std::size_t coff = 0x44;
    const std::uint16_t optionalSize = layout.wide ? 240 : 224;
    put(image, coff, layout.wide ? 0x8664 : 0x14c, 2);
    put(image, coff + 2, 1, 2);
    put(image, coff + 16, optionalSize, 2);
    const std::size_t optional = coff + 20;
    put(image, optional, layout.wide ? 0x20b : 0x10b, 2);
    const std::size_t directories = optional + (layout.wide ? 112 : 96);
    put(image, directories - 4, 16, 4);
    put(image, directories, exportRva, 4);
    put(image, directories + 8, importRva, 4);
    const std::size_t section = optional + optionalSize;
    put(image, section + 8, data.size(), 4);
    put(image, section + 12, sectionRva, 4);
    put(image, section + 16, data.size(), 4);
    put(image, section + 20, sectionFile, 4);
    image.insert(image.end(), data.begin(), data.end());
    return image;
}

Layout sample(bool wide) {
    Layout layout;
    layout.wide = wide;
    layout.imports = {{"fw.dll", {{"?f@@YAXXZ"}, {"", 7}}}, {"KERNEL32.dll", {{"Sleep"}}}};
    layout.exports = {"load_tarn_client_script", "other"};
    layout.unnamed = 1;
    return layout;
}

TEST(PeImage, ReadsImportsAndExportsOfBothWidths) {
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "PE32+" : "PE32");
        PeImage image;
        std::string error;
        ASSERT_TRUE(PeImage::parse(makeImage(sample(wide)), image, error)) << error;
        EXPECT_EQ(image.machine, wide ? PeImage::Machine::Amd64 : PeImage::Machine::I386);
        ASSERT_EQ(image.imports.size(), 2u);
        EXPECT_EQ(image.imports[0].dll, "fw.dll");
        ASSERT_EQ(image.imports[0].functions.size(), 2u);
        EXPECT_EQ(image.imports[0].functions[0].name, "?f@@YAXXZ");
        EXPECT_EQ(image.imports[0].functions[1].name, "");
        EXPECT_EQ(image.imports[0].functions[1].ordinal, 7u);
        EXPECT_EQ(image.imports[1].functions[0].name, "Sleep");
        EXPECT_EQ(image.exportNames,
                  (std::vector<std::string>{"load_tarn_client_script", "other"}));
        EXPECT_EQ(image.exportOrdinals, (std::vector<std::uint32_t>{1, 2, 3}));
        EXPECT_EQ(image.unnamedOrdinals, std::vector<std::uint32_t>{3});
    }
}

// Every prefix of an image, and every single byte of its headers and tables
// overwritten, parses or is refused: nothing is read outside the file (the
// sanitizer build would tell).
TEST(PeImage, DamagedImagesAreRefusedNotOverread) {
    const std::vector<unsigned char> whole = makeImage(sample(true));
    int refused = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        PeImage image;
        std::string error;
        const std::vector<unsigned char> prefix(whole.begin(), whole.begin() + length);
        refused += PeImage::parse(prefix, image, error) ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (const unsigned char value : {0x00, 0x7f, 0xff}) {
            std::vector<unsigned char> damaged = whole;
            damaged[at] = value;
            PeImage image;
            std::string error;
            PeImage::parse(damaged, image, error);
        }
    }
    PeImage image;
    std::string error;
    EXPECT_FALSE(PeImage::parse({'M', 'Z'}, image, error));
    EXPECT_EQ(error, "not a PE image");
}

class ImportCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        root = std::filesystem::temp_directory_path() / ("import-check-" + std::to_string(now));
        std::filesystem::create_directories(root / "system");
        folder = root.generic_string();
        system = (root / "system").generic_string();
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::string write(const std::string& path, const Layout& layout) {
        const std::vector<unsigned char> bytes = makeImage(layout);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    std::filesystem::path root;
    std::string folder, system;
};

TEST_F(ImportCheckTest, NamesWhatTheLoaderWouldNotResolve) {
    Layout component;
    component.imports = {{"fw.dll", {{"_ZN11tarn_stringC1EPKc"}, {"kept"}, {"", 9}}},
                         {"sys.dll", {{"Sleep"}}},
                         {"api-ms-win-crt-heap-l1-1-0.dll", {{"malloc"}}},
                         {"absent.dll", {{"x"}}}};
    Layout framework;
    framework.imports = {{"base.dll", {{"needed"}}}};
    framework.exports = {"kept"};
    Layout base; // beside the component, missing what the framework needs
    Layout sys;
    sys.exports = {"Sleep"};
    write(folder + "/fw.dll", framework);
    write(folder + "/base.dll", base);
    write(system + "/sys.dll", sys);
    const ImportCheckResult result = checkImports(write(folder + "/c.dll", component), {system});

    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.missingDlls.size(), 1u);
    EXPECT_EQ(result.missingDlls[0].rfind("absent.dll", 0), 0u);
    ASSERT_EQ(result.missing.size(), 3u);
    EXPECT_EQ(result.missing[0].function, "_ZN11tarn_stringC1EPKc");
    EXPECT_EQ(result.missing[0].readable, "tarn_string::tarn_string(char const*)");
    EXPECT_EQ(result.missing[1].function, "#9");
    EXPECT_EQ(result.missing[2].function, "needed");
    EXPECT_EQ(result.missing[2].dll, "base.dll");
    EXPECT_NE(result.describe().find("unresolved import: tarn_string::tarn_string(char const*) "
                                     "(_ZN11tarn_stringC1EPKc), which fw.dll does not export"),
              std::string::npos);
}

TEST_F(ImportCheckTest, AComponentWhoseImportsResolvePasses) {
    Layout component;
    component.imports = {{"fw.dll", {{"kept"}, {"", 1}}}};
    Layout framework;
    framework.exports = {"kept"};
    write(folder + "/fw.dll", framework);
    EXPECT_TRUE(checkImports(write(folder + "/c.dll", component), {system}).ok());

    std::ofstream(folder + "/text.dll") << "not an image";
    const ImportCheckResult result = checkImports(folder + "/text.dll", {});
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("not a PE image"), std::string::npos);
}

} // namespace
