#include "language/Scenario.h"
#include "language/ScenarioInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string written(const std::string& name, const std::string& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(panelhost_ScenarioInput, ReadsExactlyOrRefusesWithTheReason) {
    InputLimits small;
    small.scenarioBytes = 4096;
    small.lineBytes = 64;
    const struct {
        const char* name;
        std::string bytes;
        const char* text;  // as read, when read
        const char* error; // the reason, when refused
    } cases[] = {
        {"bom", "\xEF\xBB\xBFload\n", "load\n", nullptr},
        {"quote", "command \x92x\r\n", "command \x92x\r\n", nullptr},
        {"nul", std::string("load\ncom\0mand\n", 14), nullptr,
         "is not a text file: byte \\x00 at offset 8 (line 2)"},
        {"escape", "load\x1B[0m\n", nullptr, "byte \\x1B at offset 4"},
        {"line", "load\n" + std::string(65, 'x') + "\n", nullptr, "line 2 is longer than 64 bytes"},
        {"large", std::string(5000, '\n'), nullptr, "is larger than 4096 bytes"},
    };
    for (const auto& c : cases) {
        const std::string path = written(std::string("panelhost-input-") + c.name, c.bytes);
        std::string text;
        std::string error;
        const bool read = readScenarioInput(path, text, error, small);
        std::remove(path.c_str());
        EXPECT_EQ(read, c.error == nullptr) << c.name << ": " << error;
        if (c.error == nullptr) {
            EXPECT_EQ(text, c.text) << c.name;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
        }
    }
}

TEST(panelhost_ScenarioInput, ARegularFileTooLargeIsRefusedUnread) {
    // A sparse file: were it read, the test would take its whole size in memory.
    const std::string path = written("panelhost-input-huge", "");
    std::filesystem::resize_file(path, (64ull << 20) + 1);
    std::string text;
    std::string error;
    EXPECT_FALSE(readScenarioInput(path, text, error));
    std::remove(path.c_str());
    EXPECT_NE(error.find("is larger than 64 MiB"), std::string::npos) << error;
}

TEST(panelhost_ScenarioInput, ShowsTwentyErrorsAndCountsTheRest) {
    std::string text = "load\n";
    for (int i = 0; i < 25; ++i) {
        text += "bogus\x01\n";
    }
    Scenario scenario;
    std::vector<ScenarioError> errors;
    ASSERT_FALSE(parseScenario(text, scenario, errors));
    const std::string message = describeErrors("s", errors);
    EXPECT_NE(message.find("s: line 21, column 1: unknown keyword 'bogus\\x01'"), std::string::npos)
        << message;
    EXPECT_EQ(message.find("line 22,"), std::string::npos) << message;
    EXPECT_NE(message.find("and 5 more errors\n25 errors; nothing was played"), std::string::npos)
        << message;
}

} // namespace
