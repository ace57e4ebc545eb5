#include "QuillonFixture.h"

namespace {

class LevelDiscovery : public QuillonFixture {
protected:
    // A resolved destination 7 on device 5, with the package object "pkg".
    void SetUp() override {
        QuillonFixture::SetUp();
        resolve("cam1", "5 7", "Studio 7");
        host.clear();
    }

    void package(const std::string& settings) {
        config.write("object_settings.ini", "[pkg]\n" + settings);
    }

    // The four tally properties, in the order they are always sent.
    static Traffic tallies(int driver1, int dest1, int driver2, int dest2) {
        return {"TP 'driverid=" + std::to_string(driver1) + "' '1' 'tally_L1'",
                "TP 'destid=" + std::to_string(dest1) + "' '1' 'tally_L1'",
                "TP 'driverid=" + std::to_string(driver2) + "' '1' 'tally_L2'",
                "TP 'destid=" + std::to_string(dest2) + "' '1' 'tally_L2'"};
    }

    static Traffic lookups(int count, const std::string& driver, const char* reply) {
        Traffic traffic;
        for (int i = 0; i < count; ++i) {
            traffic.push_back("RN " + driver + " 1 7");
            traffic.push_back(reply != nullptr ? std::string("[5] ") + reply : "[5] (null)");
        }
        return traffic;
    }

    static Traffic join(Traffic first, const Traffic& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }
};

TEST_F(LevelDiscovery, WiresTheShownLevels) {
    struct Case {
        const char* name;
        std::string settings;
        const char* useLevels;
        const char* levelList; // the level-map driver's reply, or null for none
        Traffic traffic;
    };
    const std::string twoLevels = "package_levels = 2\ndriver_ids = 10,20,30,40\n";
    const Case cases[] = {
        {"worked example", twoLevels, "1,2", "5,-",
         join(lookups(2, "20", "5,-"), tallies(30, 5, 40, -1))},
        {"one level on tally 1", twoLevels, "2", "5,9",
         join(lookups(1, "20", "5,9"), tallies(40, 9, 0, -1))},
        {"first tally unused", twoLevels, "0,1", "5,9",
         join(lookups(1, "20", "5,9"), tallies(0, -1, 30, 5))},
        {"both unused", twoLevels, ",", "5,9", tallies(0, -1, 0, -1)},
        {"dash keeps the driver", twoLevels, "1,2", "-,-",
         join(lookups(2, "20", "-,-"), tallies(30, -1, 40, -1))},
        {"no level list", twoLevels, "1,2", nullptr,
         join(lookups(2, "20", nullptr), tallies(30, 0, 40, 0))},
        {"short level list", twoLevels, "1,2", "5",
         join(lookups(2, "20", "5"), tallies(30, 5, 40, 0))},
        {"short driver ids", "package_levels = 2\ndriver_ids = 10,20\n", "1,2", "5,6",
         join(lookups(2, "20", "5,6"), tallies(0, 5, 0, 6))},
        {"no driver ids", "package_levels = 2\n", "1,2", nullptr,
         join(lookups(2, "0", nullptr), tallies(0, 0, 0, 0))},
        {"negative level", twoLevels, "-1", "5,9",
         join(lookups(1, "20", "5,9"), tallies(10, 0, 0, -1))},
        {"huge negative level", twoLevels, "-2147483648", "5,9",
         join(lookups(1, "20", "5,9"), tallies(0, 0, 0, -1))},
        {"three of five levels", "package_levels = 5\ndriver_ids = 1,2,3,4,5,6,7\n", "3,5",
         "31,32,33,34,35", join(lookups(2, "2", "31,32,33,34,35"), tallies(5, 33, 7, 35))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        package(c.settings);
        host.replyToPrefix("RN ",
                           c.levelList ? std::optional<std::string>(c.levelList) : std::nullopt);
        command("matrixobject=pkg");
        EXPECT_EQ(trafficOf((std::string("uselevels=") + c.useLevels).c_str()), c.traffic);
    }
}

TEST_F(LevelDiscovery, LevelBeyondThePackageKeepsItsEarlierWiring) {
    host.replyToPrefix("RN ", std::string("5,6"));
    // Before any wiring the unset destination is -1, never an arbitrary value.
    command("uselevels=1,3");
    EXPECT_EQ(trafficOf("matrixobject=pkg"), join(lookups(1, "20", "5,6"), tallies(30, 5, 0, -1)));
    command("uselevels=1,2");
    EXPECT_EQ(trafficOf("uselevels=3,1"), join(lookups(1, "20", "5,6"), tallies(30, 5, 30, 5)));
}

TEST_F(LevelDiscovery, UnusableSettingsAreReportedOnTheDebugOutput) {
    struct Case {
        std::string settings;
        const char* useLevels;
        std::string message;
    };
    const std::string insufficient =
        "Insufficient levels defined in this package object. Unable to extract levels\n";
    const Case cases[] = {
        {"package_levels = 1\ndriver_ids = 10,20,30\n", "1", insufficient},
        {"driver_ids = 10,20,30\n", "1", insufficient},
        {"package_levels = two\n", "1", insufficient},
        {"package_levels = 2\ndriver_ids = 10,20,30,40\n", "1,2,3",
         "Too many levels in the uselevels parameter. Expected maximum of two, received 3\n"},
        {"package_levels = 2\ndriver_ids = 10,20,30,40\n", "1,,,",
         "Too many levels in the uselevels parameter. Expected maximum of two, received 4\n"},
    };
    command("matrixobject=pkg");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.useLevels);
        package(c.settings);
        DebugCapture debug;
        EXPECT_TRUE(trafficOf((std::string("uselevels=") + c.useLevels).c_str()).empty());
        EXPECT_EQ(debug.take(), c.message);
    }
}

TEST_F(LevelDiscovery, NeedsInstancePackageAndLevels) {
    DebugCapture debug;
    EXPECT_TRUE(trafficOf("uselevels=1,2").empty()) << "no package object yet";
    command("uselevels=");
    EXPECT_TRUE(trafficOf("matrixobject=pkg").empty()) << "no levels";
    EXPECT_EQ(debug.take(), "");
}

TEST(LevelDiscoveryUnresolved, LooksUpIndexMinusOneOnceTheInstanceIsSet) {
    ConfigFolder config;
    config.write("object_settings.ini", "[pkg]\npackage_levels = 2\ndriver_ids = 10,20,30,40\n");
    RecordingHost host;
    tarn_client_callback* component = load_tarn_client_script(&host, "");
    host_events::parentCommand(*component, "uselevels=1");
    host_events::parentCommand(*component, "matrixobject=pkg");
    host_events::parentCommand(*component, "instance=nowhere"); // fails: no SD reply
    host.clear();
    host_events::parentCommand(*component, "matrixobject=pkg");
    EXPECT_EQ(host.traffic(),
              (Traffic{"RN 20 1 -1", "[5] (null)", "TP 'driverid=30' '1' 'tally_L1'",
                       "TP 'destid=0' '1' 'tally_L1'", "TP 'driverid=0' '1' 'tally_L2'",
                       "TP 'destid=-1' '1' 'tally_L2'"}));
    tarn_destroy_component(component);
}

} // namespace
