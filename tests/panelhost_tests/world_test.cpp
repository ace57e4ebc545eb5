#include "host/UnknownControl.h"
#include "host/World.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class panelhost_WorldTest : public testing::Test {
protected:
    CommandOutcome run(const std::string& text) {
        ParsedCommand parsed;
        parseCommand(text, parsed);
        return world.execute(text, parsed, panels);
    }
    static std::vector<std::string> ids(const CommandOutcome& outcome) {
        std::vector<std::string> out;
        for (const Finding& finding : outcome.findings) {
            out.push_back(ruleInfo(finding.rule).id);
        }
        return out;
    }
    void loadQuillonLayout() {
        ASSERT_EQ(run(std::string("PS '1' '") + QUILLON_UI_FILE + "'").reply,
                  std::optional<std::string>("OK"));
    }

    World world;
    Panels panels;
};

using Ids = std::vector<std::string>;
using Reply = std::optional<std::string>;

TEST_F(panelhost_WorldTest, PanelCommandsWorkOnTheLoadedLayout) {
    const CommandOutcome missing = run("PS '1' '/no/such/quillon.tarn_ui'");
    EXPECT_EQ(missing.reply, std::nullopt);
    EXPECT_EQ(ids(missing), Ids{"WD4"});
    EXPECT_EQ(ids(run("TP 'text=A' '1' 'myDest'")), Ids{"WD1"});

    loadQuillonLayout();
    const struct {
        const char* command;
        Reply reply;
        Ids findings;
    } cases[] = {
        {"TP 'text=Studio A' '1' 'myDest'", std::nullopt, {}},
        {"TG '1' 'myDest' 'text'", std::string("text=Studio A"), {}},
        {"TP 'text=a=b' '1' 'myDest'", std::nullopt, {}},
        {"TG '1' 'myDest' 'text'", std::string("text=a=b"), {}},
        {"TG '1' 'myDest' 'all'", std::string("text=a=b\nstatesheet="), {}},
        {"TG '1' 'myDest' 'colour'", std::nullopt, {"WD3"}},
        {"TG '1' 'nobody' 'text'", std::nullopt, {"WD2"}},
        {"TP 'colour=red' '1' 'myDest'", std::nullopt, {"WD3"}},
        {"TP 'text=x' '1' 'nobody'", std::nullopt, {"WD2"}},
        {"XI '1' 'tally_'", std::string("tally_L1,tally_L2"), {}},
        {"XI '1' ''", std::string("myDest,tally_L1,tally_L2"), {}},
        {"XI '1' 'alm_'", std::nullopt, {}},
        {"XI '9' ''", std::nullopt, {"WD1"}},
    };
    for (const auto& c : cases) {
        const CommandOutcome outcome = run(c.command);
        EXPECT_EQ(outcome.reply, c.reply) << c.command;
        EXPECT_EQ(ids(outcome), c.findings) << c.command;
    }
    // A property set that the layout lacked is still kept, after the warning.
    EXPECT_EQ(*panels.panel("1")->layout.find("myDest")->find("colour"), "red");
}

TEST_F(panelhost_WorldTest, NamesInstancesAndScriptedAnswers) {
    world.setName(20, 1, 7, std::string("Studio A"));
    world.setInstance("STUDIO_A", std::string("20 7"));
    EXPECT_EQ(run("RN 20 1 7").reply, Reply("Studio A"));
    EXPECT_EQ(run("RN 20 2 7").reply, std::nullopt);
    EXPECT_EQ(run("SD 'STUDIO_A'").reply, Reply("20 7"));
    EXPECT_EQ(run("SD 'OTHER'").reply, std::nullopt);

    world.setAnswer("SD", std::string("999 1"));
    world.setAnswer("SD 'STUDIO_A'", std::nullopt);
    EXPECT_EQ(run("SD 'STUDIO_A'").reply, std::nullopt); // the newest matching answer
    EXPECT_EQ(run("SD 'OTHER'").reply, Reply("999 1"));
    world.clearAnswer("SD 'STUDIO_A'");
    EXPECT_EQ(run("SD 'STUDIO_A'").reply, Reply("999 1"));
    world.clearAnswer("SD");
    EXPECT_EQ(run("SD 'STUDIO_A'").reply, Reply("20 7"));

    world.setName(20, 1, 7, std::nullopt);
    EXPECT_EQ(run("RN 20 1 7").reply, std::nullopt);
}

TEST_F(panelhost_WorldTest, TimersAreCounted) {
    world.startTimer(4);
    EXPECT_EQ(world.runningTimers(), std::vector<int>{4});
    EXPECT_TRUE(ids(run("ET 4")).empty());
    EXPECT_EQ(ids(run("ET 4")), Ids{"WD6"});
    EXPECT_TRUE(world.runningTimers().empty());
}

TEST_F(panelhost_WorldTest, AControlNoPanelHasIsNamedWithTheNearestKnown) {
    loadQuillonLayout();
    panels.setControlProperty("2", "lamp", "statesheet", "lamp_off");
    struct Case {
        const char* panel;
        const char* control;
        const char* text; // empty: the world has the control
        const char* nearest;
    };
    const Case cases[] = {
        {"1", "myDest", "", ""},
        {"2", "lamp", "", ""}, // made by a fact, not a layout
        {"1", "butto", "panel 1 has no control butto", "1 myDest"},
        {"1", "tally_l2", "panel 1 has no control tally_l2", "1 tally_L2"},
        // A slip in the panel counts too: the nearest may be on another panel.
        {"3", "lamp", "no panel 3 is loaded, so it has no control lamp", "2 lamp"},
    };
    for (const Case& c : cases) {
        const auto problem = unknownControl(panels, 9, c.panel, c.control);
        ASSERT_EQ(problem.has_value(), *c.text != 0) << c.panel << " " << c.control;
        if (problem) {
            EXPECT_EQ(problem->line, 9);
            EXPECT_EQ(problem->text, c.text);
            EXPECT_EQ(problem->nearest, c.nearest);
        }
    }
}

} // namespace
