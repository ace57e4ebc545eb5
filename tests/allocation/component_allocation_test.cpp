// Allocation budget of parent commands, counted over the whole handleHostEvent
// round trip (the parse, the handler, the host commands it builds, the reply
// given back) with the fake host's own work left out. Each figure is printed, so
// a run of this binary shows the measured counts.
#include "ConfigFolder.h"
#include "HostEvents.h"
#include "PausingHost.h"
#include "counting_allocator.h"
#include "load_tarn_client_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

class ParentCommandAllocations : public testing::Test {
protected:
    void SetUp() override {
        config.write("object_settings.ini", "[pkg]\n"
                                            "package_levels = 2\n"
                                            "driver_ids = 10,20,30,40\n");
        RecordingHost& replies = host.recorder;
        replies.reply("SD 'cam7'", "5 7");
        replies.reply("RN 5 1 7", "Camera 7");
        replies.reply("SD 'studio_a_camera_07'", "5 7");
        replies.reply("RN 20 1 7", "12,14");
        component = load_tarn_client_script(&host, "C:/ui");
        ASSERT_NE(component, nullptr);
    }

    void TearDown() override {
        tarn_destroy_component(component);
        EXPECT_EQ(host.recorder.outstandingReplies(), 0);
    }

    // A parent command delivered as a panel host does, its answer given back.
    void deliver(const char* text) {
        host_events::giveBack(*component, host_events::parentCommand(*component, text));
    }

    // The allocations of one parent command, and the commands it sent.
    long measure(const char* text, Commands& sent) {
        host.recorder.clear();
        const long allocations = countAllocations([&] { deliver(text); }).allocations;
        sent = host.recorder.commands();
        std::printf("[ budget ] %-40s %2ld allocation(s), %zu host command(s)\n", text, allocations,
                    sent.size());
        return allocations;
    }

    void resolveCam7() {
        deliver("matrixobject=pkg");
        deliver("uselevels=1,2");
        deliver("instance=cam7");
    }

    ConfigFolder config;
    PausingHost host;
    tarn_client_callback* component = nullptr;
};

const std::string longValue = "studio_a_statesheet_low"; // past the inline 15 characters

} // namespace

TEST_F(ParentCommandAllocations, CommandsThatChangeNothingCostTheParseAlone) {
    resolveCam7();
    deliver("tallystate_L1=tally_idle");
    const char* const unchanged[] = {
        "selected=9",               // another destination while unselected
        "instance=cam7",            // the stored instance
        "tallystate_L1=tally_idle", // the stored look
        "return=none",              // not "all"
        "colour=red",               // no such key
    };
    for (const char* text : unchanged) {
        Commands sent;
        EXPECT_LE(measure(text, sent), 1) << text;
        EXPECT_TRUE(sent.empty()) << text;
    }
    // A query changes nothing either: its reply, once given back, is freed too.
    const AllocationCounts query = countAllocations([&] { deliver("return=all"); });
    EXPECT_EQ(query.frees, query.allocations);
}

TEST_F(ParentCommandAllocations, CommandsThatSetOnePropertyCostAtMostThree) {
    resolveCam7();
    const std::string lowLong = "buttonlow=" + longValue;
    const std::string highLong = "buttonhigh=" + longValue + "_hi";
    const std::string tally1Long = "tallystate_L1=" + longValue;
    const std::string tally2Long = "tallystate_L2=" + longValue;
    const std::string unusedLong = "unusedleveltext=" + longValue;
    // In order, since the selection state decides what each one shows.
    const std::string oneProperty[] = {
        "buttonlow=low",   lowLong,      "selected=7",      "buttonhigh=high", highLong,
        "selected=-1",     "selected=7", "selected=8",      "tallystate_L1=a", tally1Long,
        "tallystate_L2=b", tally2Long,   "namesDatabase=2",
    };
    for (const std::string& text : oneProperty) {
        Commands sent;
        EXPECT_LE(measure(text.c_str(), sent), 3) << text;
        int properties = 0;
        for (const std::string& command : sent) {
            properties += command.rfind("TP ", 0) == 0 ? 1 : 0;
        }
        EXPECT_EQ(properties, 1) << text;
    }
    // Two properties, one of each tally: the same long value stored once.
    Commands sent;
    EXPECT_LE(measure(unusedLong.c_str(), sent), 3);
    EXPECT_EQ(sent.size(), 2u);
}

TEST_F(ParentCommandAllocations, TheInstanceRoadStaysWithinOneAndAHalfPerHostCommand) {
    deliver("matrixobject=pkg");
    deliver("uselevels=1,2");
    const Commands road = {
        "SD 'cam7'",
        "RN 5 1 7",
        "TP 'text=Camera 7' '1' 'myDest'",
        "RR 5 1 1",
        "RN 20 1 7",
        "RN 20 1 7",
        "TP 'driverid=30' '1' 'tally_L1'",
        "TP 'destid=12' '1' 'tally_L1'",
        "TP 'driverid=40' '1' 'tally_L2'",
        "TP 'destid=14' '1' 'tally_L2'",
    };
    Commands sent;
    const long allocations = measure("instance=cam7", sent);
    EXPECT_EQ(sent, road);
    EXPECT_LE(allocations * 2, static_cast<long>(sent.size()) * 3);

    // A name past the inline length, replacing the resolved one (so RU comes
    // first): the value, the stored instance and the copy that resolveInstance
    // takes each cost one more at most; the SD text is built on the stack.
    Commands longRoad;
    const long longAllocations = measure("instance=studio_a_camera_07", longRoad);
    EXPECT_EQ(longRoad.size(), road.size() + 1) << "RU comes first only when resolved";
    EXPECT_LE(longAllocations, allocations + 3);
    EXPECT_LE(longAllocations * 2, static_cast<long>(longRoad.size()) * 3);
}
