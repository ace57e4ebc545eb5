#include "QuillonFixture.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

using ParentCommands = QuillonFixture;

const char* const unknownLook[] = {"TP 'text=Unknown|Destination' '1' 'myDest'"};

TEST_F(ParentCommands, InstanceRoadNamesRegistersAndWiresBothLevels) {
    command("matrixobject=pkg");
    command("uselevels=1,2");
    host.reply("SD 'cam1'", "5 7");
    host.reply("RN 5 1 7", "Studio 7");
    host.reply("RN 20 1 7", "5,-");
    host.clear();
    EXPECT_EQ(command("instance=cam1"), "");
    EXPECT_EQ(
        host.traffic(),
        (Traffic{"SD 'cam1'", "[5] 5 7", "RN 5 1 7", "[5] Studio 7",
                 "TP 'text=Studio 7' '1' 'myDest'", "RR 5 1 1", "RN 20 1 7", "[5] 5,-", "RN 20 1 7",
                 "[5] 5,-", "TP 'driverid=30' '1' 'tally_L1'", "TP 'destid=5' '1' 'tally_L1'",
                 "TP 'driverid=40' '1' 'tally_L2'", "TP 'destid=-1' '1' 'tally_L2'"}));
}

TEST_F(ParentCommands, NewInstanceReleasesTheOldRouterFirst) {
    resolve("cam1", "5 7", "Studio 7");
    host.reply("SD 'cam2'", "6 8");
    host.reply("RN 6 1 8", "Studio 8");
    EXPECT_EQ(trafficOf("instance=cam2"),
              (Traffic{"RU 5", "SD 'cam2'", "[5] 6 8", "RN 6 1 8", "[5] Studio 8",
                       "TP 'text=Studio 8' '1' 'myDest'", "RR 6 1 1"}));
}

TEST_F(ParentCommands, SameInstanceDoesNothingEvenAfterAFailure) {
    resolve("cam1", "5 7", "Studio 7");
    EXPECT_TRUE(trafficOf("instance=cam1").empty());
    host.noReply("SD 'lost'");
    command("instance=lost");
    EXPECT_TRUE(trafficOf("instance=lost").empty());
    // An empty instance equals the empty stored one of a fresh component only.
    EXPECT_FALSE(trafficOf("instance=").empty());
}

TEST_F(ParentCommands, UnresolvableInstanceShowsUnknownAndTellsTheParent) {
    command("buttonlow=low");
    struct Case {
        std::optional<std::string> reply;
    };
    const Case cases[] = {{std::string("1000 5")}, {std::string("0 5")}, {std::string("7 0")},
                          {std::string("7 -1")},   {std::string("")},    {std::nullopt},
                          {std::string("-3 5")}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.value_or("(none)"));
        const std::string instance = "bad" + std::to_string(++n);
        host.replyToPrefix("SD ", c.reply);
        Traffic expected{"SD '" + instance + "'"};
        if (c.reply) {
            expected.push_back("[5] " + *c.reply);
        }
        expected.push_back(unknownLook[0]);
        expected.push_back("TP 'statesheet=low' '1' 'myDest'");
        expected.push_back("HN 'selection=-1'");
        EXPECT_EQ(trafficOf(("instance=" + instance).c_str()), expected)
            << "no registration, and no unregistration of the failed one before";
    }
}

TEST_F(ParentCommands, EdgeDevicesWithDestinationOneAreInRange) {
    command("buttonhigh=high");
    // Each instance replaces the one before, whose router is released first.
    const std::pair<std::string, Traffic> cases[] = {
        {"1", {}}, {"999", {"RU 1"}}, {"1", {"RU 999"}}};
    int n = 0;
    for (const auto& [device, released] : cases) {
        const std::string instance = "edge" + std::to_string(++n);
        // A lookup without reply gives the empty caption.
        const Traffic named{"RN " + device + " 1 1", "[5] (null)", "TP 'text=' '1' 'myDest'"};
        Traffic assigned = released;
        assigned.insert(assigned.end(), {"SD '" + instance + "'", "[5] " + device + " 1", named[0],
                                         named[1], named[2], "RR " + device + " 1 1"});
        host.reply("SD '" + instance + "'", device + " 1");
        EXPECT_EQ(trafficOf(("instance=" + instance).c_str()), assigned);
        EXPECT_EQ(trafficOf("selected=1"), Traffic{"TP 'statesheet=high' '1' 'myDest'"});
        command("selected=-1");
        EXPECT_EQ(trafficOf("namesDatabase=1"), named) << "named again";
    }
    host.clear();
    destroy();
    EXPECT_EQ(host.traffic(), (Traffic{"RU 1", "AS"}));
}

TEST_F(ParentCommands, SelectionTestsInOrder) {
    resolve("cam", "7 12", "Cam");
    command("buttonlow=low");
    command("buttonhigh=high");
    struct Case {
        const char* text;
        Traffic traffic;
    };
    const Traffic high{"TP 'statesheet=high' '1' 'myDest'"};
    const Traffic low{"TP 'statesheet=low' '1' 'myDest'"};
    const Case cases[] = {
        {"selected=5", {}},                          // another one while unselected
        {"selected=-1", {}},                         // no selection while unselected
        {"selected=12", high},                       // this one
        {"selected=12", {}},                         // again
        {"selected=-1", low},                        // none while selected
        {"selected=12", high},  {"selected=5", low}, // another one while selected
        {"selected=12x", high},                      // read as an integer
        {"selected", low},                           // no value reads as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(trafficOf(c.text), c.traffic);
    }
}

TEST_F(ParentCommands, UnresolvedButtonDoesNotTakeMinusOneAsItsSelection) {
    EXPECT_TRUE(trafficOf("selected=-1").empty());
    EXPECT_TRUE(trafficOf("selected=0").empty());
    EXPECT_TRUE(trafficOf("selected=5").empty());
}

TEST_F(ParentCommands, ReassignmentKeepsTheSelection) {
    command("buttonlow=low");
    command("buttonhigh=high");
    struct Case {
        const char* instance;
        const char* reply;
        const char* look; // the statesheet the assignment shows, if any
    };
    const Case cases[] = {
        {"good", "8 12", nullptr}, // resolved: the look stays as it is
        {"bad", "0 0", "low"},     // failed: looks low, though still selected
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instance);
        resolve(("cam" + std::to_string(++n)).c_str(), "7 12", "Cam");
        command("selected=12");
        host.reply(std::string("SD '") + c.instance + "'", c.reply);
        int looks = 0;
        for (const std::string& sent : trafficOf((std::string("instance=") + c.instance).c_str())) {
            if (sent.rfind("TP 'statesheet=", 0) == 0) {
                ++looks;
                EXPECT_EQ(sent, std::string("TP 'statesheet=") + c.look + "' '1' 'myDest'");
            }
        }
        EXPECT_EQ(looks, c.look != nullptr ? 1 : 0);
        // Still selected: the next "-1" deselects it.
        EXPECT_EQ(trafficOf("selected=-1"), Traffic{"TP 'statesheet=low' '1' 'myDest'"});
        EXPECT_TRUE(trafficOf("selected=-1").empty());
    }
}

TEST_F(ParentCommands, FailedReassignmentReleasesTheOldRouterAndDiscoversNothing) {
    command("matrixobject=pkg");
    command("uselevels=1,2");
    resolve("cam1", "5 7", "Studio 7");
    host.reply("SD 'bad'", "0 0");
    EXPECT_EQ(trafficOf("instance=bad"),
              (Traffic{"RU 5", "SD 'bad'", "[5] 0 0", unknownLook[0],
                       "TP 'statesheet=' '1' 'myDest'", "HN 'selection=-1'"}));
}

TEST_F(ParentCommands, NamesDatabase) {
    EXPECT_TRUE(trafficOf("namesDatabase=3").empty()) << "stored without a destination";
    EXPECT_NE(command("return=all").find("namesDatabase=3\n"), std::string::npos);
    for (const char* ignored : {"namesDatabase=0", "namesDatabase=-2", "namesDatabase=x"}) {
        EXPECT_TRUE(trafficOf(ignored).empty()) << ignored;
    }
    EXPECT_NE(command("return=all").find("namesDatabase=3\n"), std::string::npos);

    host.reply("SD 'cam'", "7 12");
    host.reply("RN 7 3 12", "From 3");
    command("instance=cam");
    host.reply("RN 7 4 12", "From 4");
    EXPECT_EQ(trafficOf("namesDatabase=4"),
              (Traffic{"RN 7 4 12", "[5] From 4", "TP 'text=From 4' '1' 'myDest'"}));
    EXPECT_EQ(trafficOf("namesDatabase=4"),
              (Traffic{"RN 7 4 12", "[5] From 4", "TP 'text=From 4' '1' 'myDest'"}))
        << "also when unchanged";
}

TEST_F(ParentCommands, ButtonLooksShowOnlyWhenTheyAreTheCurrentOne) {
    resolve("cam", "7 12", "Cam");
    EXPECT_TRUE(trafficOf("buttonhigh=h1").empty());
    EXPECT_EQ(trafficOf("buttonlow=l1"), Traffic{"TP 'statesheet=l1' '1' 'myDest'"});
    EXPECT_EQ(trafficOf("buttonlow=l1"), Traffic{"TP 'statesheet=l1' '1' 'myDest'"});
    EXPECT_EQ(trafficOf("selected=12"), Traffic{"TP 'statesheet=h1' '1' 'myDest'"});
    EXPECT_TRUE(trafficOf("buttonlow=l2").empty());
    EXPECT_EQ(trafficOf("buttonhigh=h2"), Traffic{"TP 'statesheet=h2' '1' 'myDest'"});
    EXPECT_EQ(trafficOf("selected=-1"), Traffic{"TP 'statesheet=l2' '1' 'myDest'"});
}

TEST_F(ParentCommands, TallyLooksActOnlyOnAChange) {
    EXPECT_TRUE(trafficOf("tallystate_L1=").empty());
    EXPECT_EQ(trafficOf("tallystate_L1=red"), Traffic{"TP 'statesheet=red' '1' 'tally_L1'"});
    EXPECT_TRUE(trafficOf("tallystate_L1=red").empty());
    EXPECT_EQ(trafficOf("tallystate_L2=red"), Traffic{"TP 'statesheet=red' '1' 'tally_L2'"});
    EXPECT_TRUE(trafficOf("tallystate_L2=red").empty());
    EXPECT_TRUE(trafficOf("tallystate_l1=blue").empty()) << "keys are case-sensitive";
}

TEST_F(ParentCommands, UnusedLevelTextGoesToBothTalliesEveryTime) {
    const Traffic expected{"TP 'unusedtext=Unused Level' '1' 'tally_L1'",
                           "TP 'unusedtext=Unused Level' '1' 'tally_L2'"};
    EXPECT_EQ(trafficOf("unusedleveltext=Unused Level"), expected);
    EXPECT_EQ(trafficOf("unusedleveltext=Unused Level"), expected);
}

TEST_F(ParentCommands, Queries) {
    struct Case {
        const char* text;
        std::string reply;
    };
    const Case cases[] = {
        {"_events", "selected=*"},
        {"_events=x", "selected=*"},
        {"_commands", "selected=[value]"},
        {"_commands=all", "selected=[value]"},
        {"return", ""},
        {"return=ALL", ""},
        {"return=all.x", ""},
        {"nosuchkey=1", ""},
        {"", ""},
        {"instance.sub", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host.clear();
        EXPECT_EQ(command(c.text), c.reply);
        EXPECT_TRUE(host.traffic().empty());
    }
}

TEST_F(ParentCommands, SettingsListCarriesEverySettingUnquoted) {
    command("matrixobject=pkg");
    command("uselevels=1,2");
    command("namesDatabase=2");
    command("buttonlow=a b");
    command("buttonhigh=x=y");
    command("tallystate_L1=t1");
    command("tallystate_L2=t2");
    command("unusedleveltext=");
    EXPECT_EQ(command("return=all"), "matrixobject=pkg\n"
                                     "uselevels=1,2\n"
                                     "namesDatabase=2\n"
                                     "buttonlow=a b\n"
                                     "buttonhigh=x=y\n"
                                     "tallystate_L1=t1\n"
                                     "tallystate_L2=t2\n"
                                     "unusedleveltext=");
}

// How many texts a command carries between quotes; -1 when a quote is unpaired.
int quotedTexts(const std::string& command) {
    const auto quotes = std::count(command.begin(), command.end(), '\'');
    return quotes % 2 == 0 ? static_cast<int>(quotes / 2) : -1;
}

TEST_F(ParentCommands, QuotesInNamesInstancesAndSettingsKeepEveryCommandsShape) {
    const std::map<std::string, int> textArguments = {{"SD", 1}, {"RN", 0}, {"TP", 3},
                                                      {"RR", 0}, {"RU", 0}, {"HN", 1}};
    const std::string q = "\x92"; // what a quote inside a text becomes
    host.reply("SD 'O" + q + "NEIL'", "7 12");
    host.reply("RN 7 1 12", "O'Brien cam");
    struct Case {
        std::string text; // a parent command, or "dbchange" for a change of its name
        Traffic sent;
    };
    const Case cases[] = {
        {"buttonlow=lo'w", {"TP 'statesheet=lo" + q + "w' '1' 'myDest'"}},
        {"buttonhigh=hi'gh", {}},
        {"tallystate_L1=t'1", {"TP 'statesheet=t" + q + "1' '1' 'tally_L1'"}},
        {"tallystate_L2=t'2", {"TP 'statesheet=t" + q + "2' '1' 'tally_L2'"}},
        {"unusedleveltext=it's",
         {"TP 'unusedtext=it" + q + "s' '1' 'tally_L1'",
          "TP 'unusedtext=it" + q + "s' '1' 'tally_L2'"}},
        {"instance=O'NEIL",
         {"SD 'O" + q + "NEIL'", "RN 7 1 12", "TP 'text=O" + q + "Brien cam' '1' 'myDest'",
          "RR 7 1 1"}},
        {"selected=12", {"TP 'statesheet=hi" + q + "gh' '1' 'myDest'"}},
        {"dbchange", {"TP 'text=" + q + "' '1' 'myDest'"}},
        {"instance=x'",
         {"RU 7", "SD 'x" + q + "'", unknownLook[0], "TP 'statesheet=lo" + q + "w' '1' 'myDest'",
          "HN 'selection=-1'"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host.clear();
        if (c.text == "dbchange") {
            databaseChange(7, 1, 12, "'");
        } else {
            command(c.text.c_str());
        }
        EXPECT_EQ(host.commands(), c.sent);
        for (const std::string& sent : host.commands()) {
            EXPECT_EQ(quotedTexts(sent), textArguments.at(sent.substr(0, 2))) << sent;
        }
    }
}

TEST_F(ParentCommands, SubKeysAreIgnored) {
    EXPECT_EQ(trafficOf("buttonlow.x.y=l"), Traffic{"TP 'statesheet=l' '1' 'myDest'"});
}

} // namespace
