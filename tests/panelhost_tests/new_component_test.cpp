// panelhost new: which names it takes, where it writes, and that it never writes
// into a folder that holds anything. That the starter builds, passes its tests and
// passes validate is shown end to end by the test command's first-component stage.
#include "modes/NewComponent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(NewComponent, TakesNamesThatCanNameAClass) {
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"Beacon", true},  {"my_button2", true},   {"_x", true},         {"", false},
        {"9lives", false}, {"two words", false},   {"dash-ed", false},   {"class", false},
        {"new", false},    {"caf\xc3\xa9", false}, {"../Beacon", false},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_EQ(validComponentName(c.name, reason), c.valid) << c.name;
        EXPECT_EQ(reason.empty(), c.valid) << c.name;
    }
    std::string reason;
    EXPECT_TRUE(validComponentName(std::string(64, 'a'), reason));
    EXPECT_FALSE(validComponentName(std::string(65, 'a'), reason));
    EXPECT_EQ(defaultStarterFolder("MyBeacon"), "mybeacon");
}

TEST(NewComponent, WritesOnlyIntoANewOrEmptyFolder) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path root = fs::temp_directory_path() / ("panelhost-new-" + std::to_string(now));
    fs::create_directories(root / "empty");
    fs::create_directories(root / "taken");
    std::ofstream(root / "taken" / "mine.txt") << "keep me";
    std::ofstream(root / "file") << "a file";

    const struct {
        const char* folder;
        int status;
    } cases[] = {{"fresh/nested", 0}, {"empty", 0}, {"taken", 2}, {"file", 2}};
    for (const auto& c : cases) {
        const fs::path folder = root / c.folder;
        EXPECT_EQ(runNew({"Beacon", folder.string()}), c.status) << c.folder;
        if (c.status == 0) {
            for (const char* file :
                 {"Beacon.cpp", "beacon.tarn_ui", "beacon.scenario", "CMakeLists.txt"}) {
                EXPECT_TRUE(fs::is_regular_file(folder / file)) << c.folder << "/" << file;
            }
            std::stringstream source;
            source << std::ifstream(folder / "Beacon.cpp").rdbuf();
            EXPECT_NE(source.str().find("class Beacon : public tarn_script_helper"),
                      std::string::npos);
            EXPECT_EQ(source.str().find("@NAME@"), std::string::npos);
        }
    }
    std::stringstream kept;
    kept << std::ifstream(root / "taken" / "mine.txt").rdbuf();
    EXPECT_EQ(kept.str(), "keep me");
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "taken"), fs::directory_iterator()), 1);
    fs::remove_all(root);
}

} // namespace
