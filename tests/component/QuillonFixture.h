// The fixture of the component tests: one Quillon made through the library's
// factory with a recording host, a real configuration folder, and helpers that
// deliver host events exactly as a panel host would.
#pragma once

#include "ConfigFolder.h"
#include "DebugCapture.h"
#include "HostEvents.h"
#include "RecordingHost.h"
#include "host_records.h"
#include "load_tarn_client_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using Traffic = std::vector<std::string>;

class QuillonFixture : public testing::Test {
protected:
    void SetUp() override {
        config.write("object_settings.ini", "[pkg]\n"
                                            "package_levels = 2\n"
                                            "driver_ids = 10,20,30,40\n");
        component = load_tarn_client_script(&host, "C:/ui");
        ASSERT_NE(component, nullptr);
        host.clear();
    }

    void TearDown() override {
        destroy();
        EXPECT_EQ(host.outstandingReplies(), 0) << "every read reply was given back";
        EXPECT_EQ(host.doubleGiveBacks(), 0);
        EXPECT_EQ(host.foreignGiveBacks(), 0);
        EXPECT_EQ(host.unowedGiveBacks(), 0) << "the host's own replies stay the host's";
        EXPECT_EQ(host.lateGiveBacks(), 0) << "a read reply comes back before the next command";
    }

    void destroy() {
        tarn_destroy_component(component);
        component = nullptr;
    }

    // A parent command; the reply array, when there is one, goes back with type 5.
    std::string command(const char* text) {
        char* answer = host_events::parentCommand(*component, text);
        const std::string reply = answer != nullptr ? answer : "";
        EXPECT_TRUE(answer == nullptr || !reply.empty()) << "an empty reply is no answer";
        host_events::giveBack(*component, answer);
        return reply;
    }

    // The traffic of one parent command alone.
    Traffic trafficOf(const char* text) {
        host.clear();
        command(text);
        return host.traffic();
    }

    void press(const char* panel, const char* control, const char* eventText = "") {
        EXPECT_EQ(host_events::press(*component, panel, control, eventText), nullptr);
    }

    void databaseChange(int device, int database, int index, const char* name) {
        EXPECT_EQ(host_events::databaseChange(*component, device, database, index, name), nullptr);
    }

    // Resolves `instance` to device and offset with the names the host knows.
    void resolve(const char* instance, const char* deviceAndOffset, const char* name) {
        host.reply(std::string("SD '") + instance + "'", deviceAndOffset);
        const std::string words = deviceAndOffset;
        const std::string device = words.substr(0, words.find(' '));
        const std::string offset = words.substr(words.find(' ') + 1);
        host.reply("RN " + device + " 1 " + offset, name);
        command((std::string("instance=") + instance).c_str());
        host.clear();
    }

    ConfigFolder config;
    RecordingHost host;
    tarn_client_callback* component = nullptr;
};
