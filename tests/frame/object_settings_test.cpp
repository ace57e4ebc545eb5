#include "ConfigFolder.h"
#include "Environment.h"
#include "LoadCheck.h"
#include "RecordingHost.h"
#include "TestComponent.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(ObjectSettings, FirstChildWithTheKeyWins) {
    ConfigFolder config;
    config.write("object_settings.ini", "[pkg1]\n"
                                        "package_levels = 2\n"
                                        "driver_ids=10,20,30,40\n"
                                        "dup = first\n"
                                        "dup = second\n"
                                        "[pkg2]\n"
                                        "package_levels = 5\n");
    RecordingHost host;
    TestComponent component(&host, "");
    EXPECT_STREQ(component.getObjectSetting("pkg1", "package_levels"), "2");
    EXPECT_STREQ(component.getObjectSetting("pkg1", "driver_ids"), "10,20,30,40");
    EXPECT_STREQ(component.getObjectSetting("pkg1", "dup"), "first");
    EXPECT_STREQ(component.getObjectSetting("pkg2", "package_levels"), "5");
    EXPECT_STREQ(component.getObjectSetting("pkg1", "Package_levels"), "");
    EXPECT_STREQ(component.getObjectSetting("nosuch", "package_levels"), "");
    EXPECT_TRUE(host.traffic().empty()) << "settings never involve the host";
}

TEST(ObjectSettings, AreReadAfreshOnEveryCall) {
    ConfigFolder config;
    TestComponent component(nullptr, "");
    EXPECT_STREQ(component.getObjectSetting("pkg", "package_levels"), "") << "no file yet";
    config.write("object_settings.ini", "[pkg]\npackage_levels = 2\n");
    EXPECT_STREQ(component.getObjectSetting("pkg", "package_levels"), "2");
    config.write("object_settings.ini", "[pkg]\npackage_levels = 3\n");
    EXPECT_STREQ(component.getObjectSetting("pkg", "package_levels"), "3");
}

TEST(ObjectSettings, ConfigurationRootMayBeLongerThanAnyUsualPath) {
    if (std::string(thisSystem()) == "Windows") {
        GTEST_SKIP() << "Windows paths stop at 260 characters";
    }
    ConfigFolder config;
    const std::string deep =
        config.root() + "/" + std::string(200, 'd') + "/" + std::string(100, 'e');
    std::filesystem::create_directories(deep);
    std::ofstream(deep + "/object_settings.ini") << "[pkg]\npackage_levels = 4\n";
    setEnvironmentVariable("TARN_CONFIG_DIR", deep.c_str());
    TestComponent component(nullptr, "");
    EXPECT_STREQ(component.getObjectSetting("pkg", "package_levels"), "4");
}

} // namespace
