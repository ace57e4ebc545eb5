#include "DebugCapture.h"
#include "RecordingHost.h"
#include "TestComponent.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

struct HostCommands : testing::Test {
    RecordingHost host;
    TestComponent component{&host, "C:/ui"};
};

TEST_F(HostCommands, CommandTextsAreExact) {
    struct Case {
        std::function<void(TestComponent&)> call;
        std::string command;
    };
    // The stack buffer holds 255 characters and the NUL: whole commands of 255,
    // 256 and 257 characters sit at its edge.
    const std::string edge(256 - std::string("HN ''").size(), 'e');
    const Case cases[] = {
        {[&](TestComponent& c) { c.raiseEvent(edge.substr(1).c_str()); },
         "HN '" + edge.substr(1) + "'"},
        {[&](TestComponent& c) { c.raiseEvent(edge.c_str()); }, "HN '" + edge + "'"},
        {[&](TestComponent& c) { c.raiseEvent((edge + "e").c_str()); }, "HN '" + edge + "e'"},
        {[](TestComponent& c) { c.openPanel("1", "quillon.tarn_ui", ""); },
         "PS '1' 'C:/ui/quillon.tarn_ui'"},
        {[](TestComponent& c) { c.openPanel("2", "f.ui", "x y"); }, "PS '2' 'C:/ui/f.ui' 'x y'"},
        {[](TestComponent& c) { c.setProperty("text", "Cam 1", "1", "myDest"); },
         "TP 'text=Cam 1' '1' 'myDest'"},
        {[](TestComponent& c) { c.setProperty("text", "", "1", "myDest"); },
         "TP 'text=' '1' 'myDest'"},
        {[](TestComponent& c) { c.setProperties("text=Unknown|Destination", "1", "myDest"); },
         "TP 'text=Unknown|Destination' '1' 'myDest'"},
        {[](TestComponent& c) { c.raiseEvent("selected=12"); }, "HN 'selected=12'"},
        {[](TestComponent& c) { c.registerRouter(7, 1, 1, false); }, "RR 7 1 1"},
        {[](TestComponent& c) { c.registerRouter(7, 1, 1, true); }, "RR 7 1 1 'ADD'"},
        {[](TestComponent& c) { c.registerRouter(-3, 0, 999, false); }, "RR -3 0 999"},
        {[](TestComponent& c) { c.unregisterRouter(7); }, "RU 7"},
        {[](TestComponent& c) { c.unregisterRouter(INT_MIN); }, "RU -2147483648"},
        {[](TestComponent& c) { c.stopTimer(4); }, "ET 4"},
        {[](TestComponent& c) { c.stopTimer(-1); }, "ET -1"},
    };
    // The host answers each of them; those replies stay the host's.
    host.replyToPrefix("", std::string("kept"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        host.clear();
        c.call(component);
        EXPECT_EQ(host.traffic(), Texts{c.command}) << "no reply is read or given back";
    }
}

TEST_F(HostCommands, QuotesInsideTextsAreReplacedSoEachCommandKeepsItsShape) {
    const std::string q = "\x92"; // what a quote inside a text becomes
    tarn_string out;
    struct Case {
        std::function<void(TestComponent&)> call;
        std::string command;
    };
    const Case cases[] = {
        {[](TestComponent& c) { c.openPanel("1'", "a'b", "'x"); },
         "PS '1" + q + "' 'C:/ui/a" + q + "b' '" + q + "x'"},
        {[](TestComponent& c) { c.setProperty("p'", "O'Brien's", "1'", "c'"); },
         "TP 'p" + q + "=O" + q + "Brien" + q + "s' '1" + q + "' 'c" + q + "'"},
        {[](TestComponent& c) { c.setProperties("text=Studio' '1' 'tally_L1", "1", "myDest"); },
         "TP 'text=Studio" + q + " " + q + "1" + q + " " + q + "tally_L1' '1' 'myDest'"},
        {[&](TestComponent& c) { c.textGet("v'", "1'", "c'", out); },
         "TG '1" + q + "' 'c" + q + "' 'v" + q + "'"},
        {[](TestComponent& c) { c.raiseEvent("''"); }, "HN '" + q + q + "'"},
        {[](TestComponent& c) { c.resolveInstance("O'NEIL", nullptr, nullptr); },
         "SD 'O" + q + "NEIL'"},
        {[](TestComponent& c) { c.listControls("1'", "alm'"); }, "XI '1" + q + "' 'alm" + q + "'"},
        // A marker-like text in the panel is a text like any other.
        {[](TestComponent& c) { c.listControls("%2", "alm_"); }, "XI '%2' 'alm_'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        host.clear();
        c.call(component);
        EXPECT_EQ(host.commands(), Texts{c.command});
    }
}

TEST_F(HostCommands, RegisterRouterNeverCutsOrOverrunsLongNumbers) {
    component.registerRouter(INT_MIN, INT_MIN, INT_MIN, true);
    EXPECT_EQ(host.traffic(), Texts{"RR -2147483648 -2147483648 -2147483648 'ADD'"});
}

TEST_F(HostCommands, OpenPanelPathRules) {
    TestComponent noPath(&host, "");
    TestComponent trailing(&host, "C:/ui/");
    host.clear();
    noPath.openPanel("1", "quillon.tarn_ui", "");
    trailing.openPanel("1", "quillon.tarn_ui", "");
    EXPECT_EQ(host.commands(),
              (Texts{"PS '1' 'quillon.tarn_ui'", "PS '1' 'C:/ui//quillon.tarn_ui'"}));
}

TEST_F(HostCommands, OpenPanelReportsWhetherTheHostReplied) {
    host.reply("PS '1' 'C:/ui/a'", "ok");
    EXPECT_TRUE(component.openPanel("1", "a", ""));
    EXPECT_FALSE(component.openPanel("1", "b", ""));
    EXPECT_EQ(host.outstandingReplies(), 1) << "an openPanel reply is never given back";
}

TEST_F(HostCommands, LookupNameCopiesAndAlwaysGivesBack) {
    host.reply("RN 20 1 7", "5,-");
    tarn_string out("kept");
    component.lookupName(20, 1, 7, out);
    EXPECT_STREQ(out, "5,-");
    component.lookupName(20, 1, -1, out);
    EXPECT_STREQ(out, "5,-") << "no reply leaves out unchanged";
    EXPECT_EQ(host.traffic(), (Texts{"RN 20 1 7", "[5] 5,-", "RN 20 1 -1", "[5] (null)"}));
    EXPECT_EQ(host.outstandingReplies(), 0);
}

TEST_F(HostCommands, ResolveInstanceReadsTwoWords) {
    struct Case {
        std::optional<std::string> reply;
        bool result;
        int device;
        int offset;
    };
    const Case cases[] = {
        {std::string("12 34"), true, 12, 34},
        {std::string("12"), true, 12, 0},
        {std::string(""), true, 0, 0},
        {std::string(" 12 34"), true, 0, 12},
        {std::string("\t12 +34"), true, 12, 34},
        {std::string("'7' 3"), true, 0, 7},
        {std::string("abc def"), true, 0, 0},
        {std::string("4294967297 5"), true, INT_MAX, 5},
        {std::string("-99999999999 2"), true, INT_MIN, 2},
        {std::nullopt, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.value_or("(none)"));
        host.clear();
        host.replyToPrefix("SD ", c.reply);
        int device = -5;
        int offset = -5;
        EXPECT_EQ(component.resolveInstance("cam 1", &device, &offset), c.result);
        EXPECT_EQ(device, c.device);
        EXPECT_EQ(offset, c.offset);
        Texts expected{"SD 'cam 1'"};
        if (c.reply) {
            expected.push_back("[5] " + *c.reply);
        }
        EXPECT_EQ(host.traffic(), expected);
    }
    EXPECT_EQ(host.outstandingReplies(), 0);
    host.replyToPrefix("SD ", std::string("1 2"));
    EXPECT_TRUE(component.resolveInstance("x", nullptr, nullptr))
        << "null out pointers are skipped";
}

TEST_F(HostCommands, ListControlsSplitsAtCommas) {
    host.reply("XI '1' 'alm_'", "alm_a,alm_b,,alm_c");
    tarn_stringlist controls = component.listControls("1", "alm_");
    ASSERT_EQ(controls.count(), 4);
    EXPECT_STREQ(controls[1], "alm_b");
    EXPECT_STREQ(controls[3], "alm_c");
    EXPECT_EQ(component.listControls("2", "x").count(), 0);
    EXPECT_EQ(host.traffic(), (Texts{"XI '1' 'alm_'", "[5] alm_a,alm_b,,alm_c", "XI '2' 'x'"}));
}

TEST_F(HostCommands, TextGetChecksTheReturnedProperty) {
    struct Case {
        const char* property;
        std::optional<std::string> reply;
        std::string out;
        std::string message;
    };
    const Case cases[] = {
        {"value", std::string("value=3"), "3", ""},
        {"value", std::string("value=a=b"), "a=b", ""},
        {"value", std::string("value="), "", ""},
        {"all", std::string("no equals here"), "no equals here", ""},
        {"all", std::string("text=x"), "text=x", ""},
        {"value", std::nullopt, "", ""},
        {"value", std::string("Value=3"), "",
         "textGet: value returned \"Value\" was not the value requested \"value\" (value returned "
         "was \"Value=3\" from control \"alm_1\", on panel \"1\")"},
        {"value", std::string("3"), "",
         "textGet: value returned \"3\" was not the value requested \"value\" (value returned "
         "was \"3\" from control \"alm_1\", on panel \"1\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.value_or("(none)"));
        host.clear();
        host.replyToPrefix("TG ", c.reply);
        DebugCapture debug;
        tarn_string out("stale");
        component.textGet(c.property, "1", "alm_1", out);
        EXPECT_EQ(std::string(out), c.out);
        EXPECT_EQ(debug.take(), c.message);
        Texts expected{"TG '1' 'alm_1' '" + std::string(c.property) + "'"};
        if (c.reply) {
            expected.push_back("[5] " + *c.reply);
        }
        EXPECT_EQ(host.traffic(), expected) << "given back right after copying";
    }
    EXPECT_EQ(host.outstandingReplies(), 0);
}

TEST(HostCommandsWithoutHost, TakeTheirFixedOutcomesAndSendNothing) {
    TestComponent component(nullptr, "C:/ui");
    EXPECT_TRUE(component.openPanel("1", "quillon.tarn_ui", ""));
    int device = 9;
    int offset = 9;
    EXPECT_FALSE(component.resolveInstance("x", &device, &offset));
    EXPECT_EQ(device, 0);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(component.listControls("1", "alm_").count(), 0);
    tarn_string out("kept");
    component.lookupName(1, 1, 1, out);
    EXPECT_STREQ(out, "kept");
    component.textGet("value", "1", "alm_1", out);
    EXPECT_STREQ(out, "");
    // The rest have no outcome to check; they must simply not touch a host.
    component.setProperty("a", "b", "1", "c");
    component.setProperties("a=b", "1", "c");
    component.raiseEvent("x");
    component.registerRouter(1, 1, 1, true);
    component.unregisterRouter(1);
    component.stopTimer(1);
    component.acknowledgeAlarms("ack");
}

TEST(DebugOutput, PrintAndFormatWriteExactlyTheText) {
    TestComponent component(nullptr, "");
    DebugCapture debug;
    component.debugPrint("one line\n");
    component.debugPrint("no line end");
    EXPECT_EQ(debug.take(), "one line\nno line end");
    const tarn_string e;
    component.debugFormat("%2-%1-%9 %3", "a", "b", "c", e, e, e, e, e, "i");
    // Each text fills the lowest marker left, so the empty fourth one takes %9.
    EXPECT_EQ(debug.take(), "b-a- c");
    component.debugFormat("%9%8%7%6%5%4%3%2%1", "a", "b", "c", "d", "e", "f", "g", "h", "i");
    EXPECT_EQ(debug.take(), "ihgfedcba");
    component.debugFormat("no markers", "a", "b", e, e, e, e, e, e, e);
    EXPECT_EQ(debug.take(), "no markers");
}

} // namespace
