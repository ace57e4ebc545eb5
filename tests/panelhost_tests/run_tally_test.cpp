#include "RunTally.h"

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

json breach(int line, const char* rule) {
    return {{"type", "breach"}, {"line", line}, {"rule", rule}};
}
json expectBreach(int line, int step, const char* rule) {
    return {{"type", "expect"}, {"line", line}, {"what", "breach"},
            {"held", true},     {"step", step}, {"rule", rule}};
}

TEST(panelhost_RunTally, ExpectedBreachesCountForNothing) {
    RunTally tally;
    tally.add({{"type", "step"}, {"line", 4}});
    tally.add(breach(4, "GB1"));
    tally.add(breach(4, "GB1"));
    tally.add({{"type", "end"}, {"line", 4}});
    tally.add(expectBreach(5, 4, "GB1"));
    // One expectation absorbs one breach; the second still fails the run.
    EXPECT_EQ(tally.summary()["errors"], 1);
    EXPECT_EQ(tally.summary()["expected_breaches"], 1);
    EXPECT_EQ(tally.status(), 1);
    tally.add(expectBreach(6, 4, "GB1"));
    EXPECT_EQ(tally.status(), 0);
    // An expectation of another step absorbs nothing.
    tally.add(breach(7, "CT1"));
    tally.add(expectBreach(8, 4, "CT1"));
    EXPECT_EQ(tally.status(), 1);
}

TEST(panelhost_RunTally, WarningsFailOnlyWhenStrict) {
    for (bool strict : {false, true}) {
        RunTally tally(strict);
        tally.add(breach(2, "WD2"));
        EXPECT_EQ(tally.summary()["warnings"], 1);
        EXPECT_EQ(tally.status(), strict ? 1 : 0);
    }
}

TEST(panelhost_RunTally, KnowsTheOpenStepAndItsLastCommand) {
    RunTally tally;
    tally.add({{"type", "step"}, {"line", 3}});
    tally.add({{"type", "sent"}, {"command", "SD 'A'"}});
    EXPECT_TRUE(tally.stepOpen());
    EXPECT_EQ(tally.stepLine(), 3);
    EXPECT_EQ(tally.lastCommand(), "SD 'A'");
    tally.add({{"type", "end"}, {"line", 3}});
    tally.add({{"type", "expect"}, {"what", "sent"}, {"held", false}});
    EXPECT_FALSE(tally.stepOpen());
    EXPECT_EQ(tally.summary()["failed"], 1);
    EXPECT_EQ(tally.status(), 1);
    EXPECT_FALSE(tally.finished());
    tally.add(tally.summary());
    EXPECT_TRUE(tally.finished());
}

} // namespace
