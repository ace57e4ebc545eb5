#include "records/RunTally.h"

#include <gtest/gtest.h>

namespace {

StepRecord step(int line) {
    StepRecord record;
    record.line = line;
    record.step = Step::Kind::Command;
    return record;
}

BreachRecord breach(int line, long id, Rule rule) {
    return BreachRecord{line, id, rule, "", ""};
}

ExpectRecord covering(int line, int step, long id) {
    ExpectRecord record;
    record.line = line;
    record.what = Expectation::Kind::Breach;
    record.held = id >= 0;
    record.step = step;
    record.covers = id;
    return record;
}

TEST(panelhost_RunTally, OnlyTheBreachesAnExpectationCoversAreExpected) {
    RunTally tally;
    tally.add(step(4));
    tally.add(breach(4, 0, Rule::ReplyNotGivenBack));
    tally.add(breach(4, 1, Rule::ReplyNotGivenBack));
    tally.add(EndRecord{4});
    tally.add(covering(5, 4, 0));
    // One expectation covers one breach; the second still fails the run.
    EXPECT_EQ(tally.summary().errors, 1);
    EXPECT_EQ(tally.summary().expectedBreaches, 1);
    EXPECT_EQ(tally.status(), 1);
    tally.add(covering(6, 4, 1));
    EXPECT_EQ(tally.status(), 0);
    // A failed expectation covers nothing and fails the run itself.
    tally.add(breach(7, 2, Rule::MalformedCode));
    tally.add(covering(8, 7, -1));
    EXPECT_EQ(tally.summary().failed, 1);
    EXPECT_EQ(tally.summary().errors, 1);
}

TEST(panelhost_RunTally, WarningsFailOnlyWhenStrict) {
    for (bool strict : {false, true}) {
        RunTally tally(strict);
        tally.add(breach(2, 0, Rule::UnknownControl));
        EXPECT_EQ(tally.summary().warnings, 1);
        EXPECT_EQ(tally.status(), strict ? 1 : 0);
    }
}

TEST(panelhost_RunTally, KnowsTheOpenStepAndWhatWasNotPlayed) {
    RunTally tally;
    tally.add(step(3));
    tally.add(SentRecord{3, "SD 'A'", std::nullopt, false});
    EXPECT_TRUE(tally.stepOpen());
    EXPECT_EQ(tally.stepLine(), 3);
    EXPECT_EQ(tally.lastCommand(), "SD 'A'");
    tally.add(EndRecord{3});
    EXPECT_FALSE(tally.stepOpen());
    EXPECT_EQ(tally.status(), 0);
    // Lines never played leave the scenario unchecked: the run cannot pass.
    tally.setNotPlayed(4, 9);
    EXPECT_EQ(tally.summary().notPlayed, 4);
    EXPECT_EQ(tally.summary().notPlayedFrom, 9);
    EXPECT_EQ(tally.status(), 1);
    EXPECT_FALSE(tally.finished());
    tally.add(tally.summary());
    EXPECT_TRUE(tally.finished());
}

} // namespace
