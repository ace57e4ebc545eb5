#include "language/Scenario.h"
#include "modes/FuzzGenerator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Keys = std::map<std::string, std::vector<std::string>>;

std::vector<std::string> script(unsigned long long seed, const Keys& keys, int events) {
    FuzzGenerator generator(seed, keys);
    std::vector<std::string> lines = generator.world();
    for (int i = 0; i < events; ++i) {
        for (const std::string& line : generator.event()) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(panelhost_FuzzGenerator, ReadsKeysAndChoicesFromTheComponentsLists) {
    Keys keys;
    FuzzGenerator::addKeys("selected=[value]\nmalformed=[code|space]\nmatrixobject=PKG\n"
                           "uselevels=\nplain\n=x\n",
                           keys);
    EXPECT_EQ(keys, (Keys{{"selected", {}},
                          {"malformed", {"code", "space"}},
                          {"matrixobject", {"PKG"}},
                          {"uselevels", {}},
                          {"plain", {}}}));
}

TEST(panelhost_FuzzGenerator, SameSeedSameScriptAndEveryLineParses) {
    const Keys keys = {{"selected", {}}, {"instance", {}}, {"malformed", {"code"}}};
    const std::vector<std::string> first = script(42, keys, 400);
    EXPECT_EQ(first, script(42, keys, 400));
    EXPECT_NE(first, script(43, keys, 400));
    bool kinds[8] = {};
    int number = 0;
    for (const std::string& line : first) {
        std::optional<Item> item;
        ScenarioError error;
        ASSERT_TRUE(parseScenarioLine(line, ++number, item, error))
            << line << ": " << error.where();
        ASSERT_TRUE(item.has_value()) << line;
        ASSERT_FALSE(std::holds_alternative<Expectation>(item->what)) << line;
        if (const Step* step = std::get_if<Step>(&item->what)) {
            kinds[static_cast<int>(step->kind)] = true;
            EXPECT_EQ(step->text.value_or("").find('\''), std::string::npos) << line;
        }
    }
    for (bool seen : kinds) {
        EXPECT_TRUE(seen); // 400 events reach every kind of step
    }
}

} // namespace
