#include "engine/ComponentWorld.h"
#include "engine/FuzzGenerator.h"
#include "language/Scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> script(unsigned long long seed, const ComponentWorld& world, int events) {
    FuzzGenerator generator(seed, world);
    std::vector<std::string> lines = generator.world();
    for (int i = 0; i < events; ++i) {
        for (const std::string& line : generator.event()) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(panelhost_ComponentWorld, ReadsKeysAndChoicesFromTheComponentsLists) {
    CommandKeys keys;
    ComponentWorld::addKeys("level=[value]\nmode=[code|space]\nsource=A\nlimit=\nplain\n=x\n",
                            keys);
    ComponentWorld::addKeys("mode=[space|quote]\n", keys);
    EXPECT_EQ(keys, (CommandKeys{{"level", {}},
                                 {"mode", {"code", "space", "quote"}},
                                 {"source", {"A"}},
                                 {"limit", {}},
                                 {"plain", {}}}));
}

TEST(panelhost_ComponentWorld, LearnsWhatTheComponentLoadsAndAsksFor) {
    ComponentWorld world;
    WorldProbe probe(world);
    const auto command = [&](const std::string& text) {
        StepRecord step;
        step.step = Step::Kind::Command;
        step.text = text;
        probe.see(step);
    };
    const auto sent = [&](const std::string& text) { probe.see(SentRecord{1, text, {}, false}); };
    command("_commands");
    probe.see(ReplyRecord{1, std::string("mode=[a|b]")});
    sent("PS '1' '" QUILLON_UI_FILE "'");
    sent("XI '1' 'lamp_'");
    sent("TP 'on=1' '1' 'lamp_1'");
    command("source=studio");
    sent("SD 'studio'");
    sent("RN 20 1 7");
    sent("RR 20 1 1");
    sent("TG '1' 'nowhere' 'text'");

    EXPECT_EQ(world.keys, (CommandKeys{{"mode", {"a", "b"}}}));
    EXPECT_EQ(world.instances, std::set<std::string>{"studio"});
    EXPECT_EQ(world.instanceKeys, std::set<std::string>{"source"});
    EXPECT_EQ(world.names, (std::set<std::tuple<int, int, int>>{{20, 1, 7}}));
    EXPECT_EQ(world.routers, std::set<int>{20});
    ASSERT_EQ(world.panels.count("1"), 1u);
    const std::vector<ComponentWorld::Control>& controls = world.panels["1"].controls;
    ASSERT_GE(controls.size(), 3u); // the layout's, and two the host made for the lookup
    EXPECT_FALSE(controls.front().madeUp);
    EXPECT_FALSE(controls.front().properties.empty()) << "the layout's properties";
    const ComponentWorld::Control& lamp = controls[controls.size() - 2];
    EXPECT_EQ(lamp.name, "lamp_1");
    EXPECT_TRUE(lamp.madeUp);
    EXPECT_EQ(lamp.properties, std::vector<std::string>{"on"});
}

TEST(panelhost_FuzzGenerator, PlaysTheComponentsOwnWorldTheSameForTheSameSeed) {
    ComponentWorld world;
    world.keys = {{"mode", {"a", "b"}}, {"level", {}}};
    world.panels["4"].controls = {{"knob", {"text"}, false}, {"lamp_1", {"on"}, true}};
    world.instanceKeys = {"source"};
    world.names = {{20, 1, 7}};
    world.routers = {20};
    const std::vector<std::string> first = script(42, world, 400);
    EXPECT_EQ(first, script(42, world, 400));
    EXPECT_NE(first, script(43, world, 400));
    bool kinds[9] = {};
    int number = 0;
    int ownPresses = 0;
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
            ownPresses += step->kind == Step::Kind::Press && step->panel == "4" &&
                          (step->control == "knob" || step->control == "lamp_1");
        }
    }
    for (int kind = 0; kind < 8; ++kind) {
        EXPECT_TRUE(kinds[kind]) << "400 events reach every kind of step but raw events";
    }
    EXPECT_GT(ownPresses, 20) << "presses go to the component's own controls";
    EXPECT_EQ(first.front().rfind("control 4 lamp_1 on = ", 0), 0u)
        << "the made-up control is in the world: " << first.front();
}

} // namespace
