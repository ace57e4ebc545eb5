#include "host/UiLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(panelhost_UiLayout, ShippedLayoutHoldsTheControlsTheComponentDrives) {
    UiLayout layout;
    std::string error;
    ASSERT_TRUE(loadUiLayout(QUILLON_UI_FILE, layout, error)) << error;
    ASSERT_EQ(layout.controls.size(), 3u);
    EXPECT_EQ(layout.controls[0].name, "myDest");
    for (const char* property : {"text", "statesheet"}) {
        EXPECT_NE(layout.find("myDest")->find(property), nullptr) << property;
    }
    for (const char* tally : {"tally_L1", "tally_L2"}) {
        const Control* control = layout.find(tally);
        ASSERT_NE(control, nullptr) << tally;
        EXPECT_EQ(*control->find("driverid"), "0");
        EXPECT_EQ(*control->find("destid"), "-1");
        EXPECT_EQ(*control->find("unusedtext"), "Unused Level");
        EXPECT_NE(control->find("statesheet"), nullptr);
    }
}

TEST(panelhost_UiLayout, ReadsSectionsPropertiesAndQuotedValues) {
    UiLayout layout;
    std::string error;
    ASSERT_TRUE(
        parseUiLayout("; comment\n[ a ]\n x = 1 \n\ny=\" kept \"\n[b]\nz =\n", layout, error))
        << error;
    ASSERT_EQ(layout.controls.size(), 2u);
    EXPECT_EQ(layout.controls[0].name, "a");
    EXPECT_EQ(*layout.find("a")->find("x"), "1");
    EXPECT_EQ(*layout.find("a")->find("y"), " kept ");
    EXPECT_EQ(*layout.find("b")->find("z"), "");
    EXPECT_EQ(layout.find("c"), nullptr);
}

TEST(panelhost_UiLayout, RefusesUnusableLayouts) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"x = 1\n", "line 1: a property before the first [control]"},
        {"[a]\nx = 1\n[a]\n", "line 3: control a twice"},
        {"[a]\nx = 1\nx = 2\n", "line 3: property x twice in a"},
        {"[a]\njust words\n", "line 2: expected property = value"},
        {"[a\n", "line 1: a section header is [control name]"},
        {"[ ]\n", "line 1: empty control name"},
        {"[a]\n= 1\n", "line 2: empty property name"},
    };
    for (const auto& c : cases) {
        UiLayout layout;
        std::string error;
        EXPECT_FALSE(parseUiLayout(c.text, layout, error)) << c.text;
        EXPECT_EQ(error, c.reason) << c.text;
    }
}

} // namespace
