#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word == "''" ? std::string() : word);
    }
    return out;
}

TEST(panelhost_CommandLine, RefusesWhatNoModeTakesNamingTheOption) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"-i lib.so --json", "-i does not take --json"},
        {"validate lib.so --stack 32K", "--stack takes a size from 64K to 1024M"},
        {"fuzz lib.so --stack 1M5", "--stack takes a size from 64K to 1024M"},
        {"lib.so s.scenario --stack 2G", "--stack takes a size from 64K to 1024M"},
        {"fuzz lib.so --skip VL3", "--skip: no rule VL3 (it is a check of validate"},
        {"-i lib.so --html p.html", "-i does not take --html"},
        {"validate lib.so --record r.scenario", "validate does not take --record"},
        {"lib.so s.scenario --seconds 3", "a scenario run does not take --seconds"},
        {"lib.so s.scenario --timeout 1 --timeout 2", "--timeout is given twice"},
        {"-v -v lib.so s.scenario", "--verbose is given twice"},
        {"validate lib.so --only ''", "--only takes a comma-separated list"},
        {"validate lib.so --only VL1,,VL2", "--only takes a comma-separated list"},
        {"validate lib.so --skip VL9", "--skip: no check or rule VL9"},
        {"validate lib.so --skip VL0,VL1,VL2,VL3,VL4,VL5,VL6,VL7,VL8",
         "--skip leaves no check to run"},
        {"validate lib.so --only VL1 --skip VL1", "--only and --skip leave no check to run"},
        {"fuzz lib.so --events 0", "--events takes a whole number from 1 to 100000000"},
        {"lib.so s.scenario --timeout 0", "--timeout takes a number of seconds from 0.01 to 86400"},
        {"validate lib.so --seed -1", "--seed takes a whole number from 0 to"},
        {"lib.so s.scenario --ui ''", "--ui needs a DIR, not an empty text"},
        {"lib.so s.scenario --timeout", "--timeout needs a value"},
        {"lib.so s.scenario --json=yes", "--json takes no value"},
        {"lib.so s.scenario --frobnicate", "unknown option --frobnicate"},
        {"-i lib.so s.scenario", "-i takes no scenario"},
        {"fuzz -i lib.so", "-i and fuzz are two modes"},
        {"--version lib.so", "--version takes no other argument"},
        {"lib.so", "a scenario run takes LIBRARY and SCENARIO, but 1 was given"},
        {"validate", "validate takes one LIBRARY, but none was given"},
        {"live lib.so a b", "live takes LIBRARY and, optionally, SCENARIO, but 3 were given"},
        {"live lib.so --port 65536", "--port takes a whole number from 0 to 65535"},
        {"live lib.so --json", "live does not take --json"},
    };
    for (const auto& c : cases) {
        CommandLine command;
        std::string error;
        EXPECT_FALSE(parseCommandLine(words(c.line), command, error)) << c.line;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.line << ": " << error;
    }
}

TEST(panelhost_CommandLine, TakesOptionsBeforeAndAfterTheModeWordAndTheArguments) {
    for (const char* line :
         {"--ui U --seed 7 validate lib.so --strict", "validate --seed=7 lib.so --ui U --strict"}) {
        CommandLine command;
        std::string error;
        ASSERT_TRUE(parseCommandLine(words(line), command, error)) << line << ": " << error;
        const ValidateSettings* validate = std::get_if<ValidateSettings>(&command.settings);
        ASSERT_NE(validate, nullptr) << line;
        EXPECT_TRUE(validate->strict) << line;
        EXPECT_EQ(validate->target.ui, "U") << line;
        EXPECT_EQ(validate->seed, 7u) << line;
    }
    // After "--" everything is an argument: here one too many.
    CommandLine command;
    std::string error;
    EXPECT_FALSE(parseCommandLine(words("validate lib.so -- --ui"), command, error));

    ASSERT_TRUE(parseCommandLine(words("--json build/lib.so - -v"), command, error)) << error;
    const RunSettings& run = std::get<RunSettings>(command.settings);
    EXPECT_EQ(run.scenario, "-");
    EXPECT_EQ(run.target.ui, "build/ui") << "the UI folder beside the library";
    EXPECT_TRUE(run.json && run.verbose && !run.strict);

    for (const char* line : {"live lib.so --port 8080", "live lib.so s.scenario --port=8080"}) {
        ASSERT_TRUE(parseCommandLine(words(line), command, error)) << line << ": " << error;
        const LiveSettings& live = std::get<LiveSettings>(command.settings);
        EXPECT_EQ(live.port, 8080) << line;
        EXPECT_EQ(live.scenario,
                  std::string(line).find(".scenario") != std::string::npos ? "s.scenario" : "")
            << line;
    }

    ASSERT_TRUE(parseCommandLine(words("fuzz lib.so --seconds 2"), command, error)) << error;
    EXPECT_EQ(std::get<FuzzSettings>(command.settings).events, 100000000)
        << "with only a time budget, the time is the limit";
    EXPECT_EQ(std::get<FuzzSettings>(command.settings).target.stack.bytes, 1u << 20);

    ASSERT_TRUE(parseCommandLine(words("validate lib.so --stack 8M --json"), command, error))
        << error;
    const ValidateSettings& validate = std::get<ValidateSettings>(command.settings);
    EXPECT_EQ(validate.target.stack.bytes, 8u << 20);
    EXPECT_TRUE(validate.json);
    EXPECT_EQ(commandLine(validate, {"--stack"}), "panelhost validate lib.so --stack 8M");
}

} // namespace
