// The instrument itself: the budgets only mean something if the counter sees
// allocations made in every module, and none made by the fake host.
#include "ConfigFolder.h"
#include "PausingHost.h"
#include "counting_allocator.h"
#include "load_tarn_client_script.h"
#include "tarn_config.h"
#include "tarn_string.h"

#include <gtest/gtest.h>

TEST(CountingAllocator, SeesEveryModuleButThePausedHost) {
    ConfigFolder config;
    config.write("object_settings.ini", "[pkg]\npackage_levels = 2\n");
    PausingHost host;
    host.recorder.reply("SD 'cam7'", "5 7"); // the host copies its reply, paused
    tarn_client_callback* component = load_tarn_client_script(&host, "C:/ui");
    ASSERT_NE(component, nullptr);
    const tarn_string node("object_settings.pkg");

    // malloc inside libtarn_string.so.
    AllocationCounts counts = countAllocations([] { const tarn_string text("sixteen chars..."); });
    EXPECT_EQ(counts.allocations, 1);
    EXPECT_EQ(counts.frees, 1);
    // The file buffer in libtarn_config.so and the FILE object inside the C library.
    counts = countAllocations([&] {
        const tarn_config settings(node);
        EXPECT_TRUE(settings.isChildValid());
    });
    EXPECT_EQ(counts.allocations, 2);
    EXPECT_EQ(counts.frees, 2);
    // operator new inside libquillon.so: the parse of a command that does nothing.
    counts =
        countAllocations([&] { component->handleHostEvent(const_cast<char*>("colour=red"), 3); });
    EXPECT_EQ(counts.allocations, 1);
    // The fake host records the commands and copies its reply while paused: the
    // parse and the decoded SD reply are the component's only allocations.
    host.recorder.clear();
    counts = countAllocations(
        [&] { component->handleHostEvent(const_cast<char*>("instance=cam7"), 3); });
    EXPECT_EQ(counts.allocations, 2);
    EXPECT_EQ(host.recorder.commands().size(), 4u) << "SD, RN, TP, RR";
    tarn_destroy_component(component);
}
