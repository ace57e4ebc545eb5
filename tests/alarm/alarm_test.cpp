#include "DebugCapture.h"
#include "HostEvents.h"
#include "RecordingHost.h"
#include "TestComponent.h"
#include "host_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Traffic = std::vector<std::string>;

class Alarms : public testing::Test {
protected:
    void SetUp() override { host.clear(); }

    void press(const char* panel, const char* control, const char* eventText) {
        host_events::press(component, panel, control, eventText);
    }

    static std::string tp(const std::string& assignment, const std::string& control) {
        return "TP '" + assignment + "' '1' '" + control + "'";
    }

    RecordingHost host;
    TestComponent component{&host, ""};
};

TEST_F(Alarms, RoutingWhileAlarmModeIsOn) {
    component.setAlarmMode(true);
    host.reply("XI '1' 'alm_'", "alm_a");
    struct Case {
        const char* panel;
        const char* control;
        const char* event;
        Traffic traffic;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"1",
         "ActionAll",
         "alarm=3",
         {"XI '1' 'alm_'", "[5] alm_a", tp("alarm=3", "alm_a"), tp("value=3", "alm_a")},
         {}},
        {"7", "ActionAll", "alarm", {"XI '1' 'alm_'", "[5] alm_a", tp("alarm=", "alm_a")}, {}},
        {"1",
         "AckAll",
         "anything=9",
         {"XI '1' 'alm_'", "[5] alm_a", tp("alarm=4", "alm_a"), "TG '1' 'alm_a' 'value'"},
         {}},
        {"1", "ActionAll", "other=3", {}, {"button 1 ActionAll other=3"}},
        {"1", "actionall", "alarm=3", {}, {"button 1 actionall alarm=3"}},
        {"1", "myDest", "alarm=3", {}, {"button 1 myDest alarm=3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + c.event);
        host.clear();
        component.calls.clear();
        press(c.panel, c.control, c.event);
        EXPECT_EQ(host.traffic(), c.traffic);
        EXPECT_EQ(component.calls, c.calls);
    }
}

TEST_F(Alarms, AlarmModeOffHandsEveryPressToTheButtonHandler) {
    press("1", "ActionAll", "alarm=ack");
    press("1", "AckAll", "");
    EXPECT_TRUE(host.traffic().empty());
    EXPECT_EQ(component.calls,
              (std::vector<std::string>{"button 1 ActionAll alarm=ack", "button 1 AckAll ="}));
}

TEST_F(Alarms, ArgumentDecidesTheLevel) {
    host.reply("XI '1' 'alm_'", "alm_a,alm_b");
    host.replyToPrefix("TG ", std::string("value=1"));
    struct Case {
        const char* argument;
        Traffic perControl; // with {c} for the control
    };
    const Case cases[] = {
        {"ack", {"alarm=ack", "TG", "value=4"}},
        {"4", {"alarm=4", "TG", "value=4"}},
        {"2", {"alarm=2", "value=2"}},
        {"0", {"alarm=0", "value=0"}},
        {"9", {"alarm=9", "value=9"}},
        {"", {"alarm="}},
        {"12", {"alarm=12"}},
        {"-1", {"alarm=-1"}},
        {"acknowledge", {"alarm=acknowledge"}},
        {"ACK", {"alarm=ACK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        host.clear();
        component.acknowledgeAlarms(c.argument);
        Traffic expected{"XI '1' 'alm_'", "[5] alm_a,alm_b"};
        for (const char* control : {"alm_a", "alm_b"}) {
            for (const std::string& step : c.perControl) {
                if (step == "TG") {
                    expected.push_back(std::string("TG '1' '") + control + "' 'value'");
                    expected.push_back("[5] value=1");
                } else {
                    expected.push_back(tp(step, control));
                }
            }
        }
        EXPECT_EQ(host.traffic(), expected);
    }
    EXPECT_EQ(host.outstandingReplies(), 0);
}

TEST_F(Alarms, AcknowledgementRewritesOnlyUnexpectedValues) {
    host.reply("XI '1' 'alm_'", "alm_a");
    struct Case {
        std::optional<std::string> readBack;
        bool rewritten;
        std::string message;
    };
    const Case cases[] = {
        {std::string("value=1"), true, ""},
        {std::string("value=-3"), true, ""},
        {std::string("value=6"), true, ""},
        {std::string("value=100"), true, ""},
        {std::string("value=0"), false, ""},
        {std::string("value=2"), false, ""},
        {std::string("value=3"), false, ""},
        {std::string("value=4"), false, ""},
        {std::string("value=5"), false, ""},
        {std::string("value="), false, ""},
        {std::nullopt, false, ""},
        {std::string("text=1"), false,
         "textGet: value returned \"text\" was not the value requested \"value\" (value "
         "returned was \"text=1\" from control \"alm_a\", on panel \"1\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readBack.value_or("(none)"));
        host.clear();
        host.replyToPrefix("TG ", c.readBack);
        DebugCapture debug;
        component.acknowledgeAlarms("ack");
        Traffic expected{"XI '1' 'alm_'", "[5] alm_a", tp("alarm=ack", "alm_a"),
                         "TG '1' 'alm_a' 'value'"};
        if (c.readBack) {
            expected.push_back("[5] " + *c.readBack);
        }
        if (c.rewritten) {
            expected.push_back(tp("value=4", "alm_a"));
        }
        EXPECT_EQ(host.traffic(), expected);
        EXPECT_EQ(debug.take(), c.message);
    }
}

TEST_F(Alarms, NoAlarmControlsMeansOnlyTheListing) {
    component.acknowledgeAlarms("ack");
    EXPECT_EQ(host.traffic(), Traffic{"XI '1' 'alm_'"}) << "no reply";
    host.clear();
    host.reply("XI '1' 'alm_'", "");
    component.acknowledgeAlarms("ack");
    EXPECT_EQ(host.traffic(), (Traffic{"XI '1' 'alm_'", "[5] "})) << "an empty listing";
}

} // namespace
