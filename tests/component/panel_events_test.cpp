#include "QuillonFixture.h"

#include <cstdint>

namespace {

using PanelEvents = QuillonFixture;

TEST_F(PanelEvents, PressRaisesTheSelectionOnlyForMyDestOnPanelOneAboveIndexOne) {
    struct Case {
        const char* reply; // the instance's resolution, or null for none
        const char* panel;
        const char* control;
        Traffic traffic;
    };
    const Case cases[] = {
        {nullptr, "1", "myDest", {}},
        {"7 1", "1", "myDest", {}},
        {"7 2", "1", "myDest", {"HN 'selected=2'"}},
        {"7 12", "1", "myDest", {"HN 'selected=12'"}},
        {"7 12", "2", "myDest", {}},
        {"7 12", "01", "myDest", {}},
        {"7 12", "1", "tally_L1", {}},
        {"7 12", "1", "mydest", {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reply ? c.reply : "unresolved") + " " + c.panel + " " +
                     c.control);
        if (c.reply != nullptr) {
            const std::string instance = "inst" + std::to_string(++n);
            resolve(instance.c_str(), c.reply, "name");
        }
        host.clear();
        press(c.panel, c.control, "press");
        EXPECT_EQ(host.traffic(), c.traffic);
    }
}

TEST_F(PanelEvents, PressLeavesTheSelectionToTheParent) {
    resolve("cam", "7 2", "Cam");
    press("1", "myDest");
    press("1", "myDest");
    // Still unselected: the parent's selection of this destination now shows.
    EXPECT_EQ(trafficOf("selected=2"), Traffic{"TP 'statesheet=' '1' 'myDest'"});
}

TEST_F(PanelEvents, TimerIsStoppedAndNothingElse) {
    for (int id : {4, 0, -7}) {
        host.clear();
        host_events::timer(*component, id);
        EXPECT_EQ(host.traffic(), Traffic{"ET " + std::to_string(id)});
    }
}

TEST_F(PanelEvents, RevertivesAndAuxiliaryEventsDoNothing) {
    resolve("cam", "7 2", "Cam");
    EXPECT_EQ(host_events::revertive(*component, 7, 1, 2), nullptr);
    EXPECT_EQ(host_events::raw(*component, nullptr, HostEventRevertive), nullptr);
    int data[4] = {7, 1, 2, 3};
    EXPECT_EQ(host_events::aux(*component, data), nullptr);
    EXPECT_TRUE(host.traffic().empty());
}

TEST_F(PanelEvents, DatabaseChangeRenamesOnlyTheMatchingEntry) {
    resolve("cam", "7 12", "Cam");
    struct Case {
        int device, database, index;
        std::string name;
        Traffic traffic;
    };
    const std::string longName(2000, 'n'); // arrives whole, however long
    const std::string q = "\x92";          // what a quote inside a text becomes
    const Case cases[] = {
        {7, 1, 12, "Studio 12", {"TP 'text=Studio 12' '1' 'myDest'"}},
        {7, 1, 12, "", {"TP 'text=' '1' 'myDest'"}},
        {7, 1, 12, longName, {"TP 'text=" + longName + "' '1' 'myDest'"}},
        {7,
         1,
         12,
         "Studio' '1' 'tally_L1",
         {"TP 'text=Studio" + q + " " + q + "1" + q + " " + q + "tally_L1' '1' 'myDest'"}},
        {8, 1, 12, "x", {}},
        {7, 2, 12, "x", {}},
        {7, 1, 11, "x", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 40));
        host.clear();
        databaseChange(c.device, c.database, c.index, c.name.c_str());
        EXPECT_EQ(host.traffic(), c.traffic);
    }
}

TEST_F(PanelEvents, DatabaseChangeFollowsTheNamesDatabase) {
    resolve("cam", "7 12", "Cam");
    host.reply("RN 7 3 12", "Cam3");
    command("namesDatabase=3");
    host.clear();
    databaseChange(7, 1, 12, "old database");
    EXPECT_TRUE(host.traffic().empty());
    databaseChange(7, 3, 12, "New");
    EXPECT_EQ(host.traffic(), Traffic{"TP 'text=New' '1' 'myDest'"});
}

TEST_F(PanelEvents, AlarmPressesReachTheButtonHandlerWhileAlarmModeIsOff) {
    resolve("cam", "7 12", "Cam");
    press("1", "ActionAll", "alarm=ack");
    press("1", "AckAll", "x");
    EXPECT_TRUE(host.traffic().empty()) << "no alarm listing: Quillon never turns alarm mode on";
}

} // namespace
