#include "child/CrashCompletion.h"
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

TEST(panelhost_CrashCompletion, UnplayedLinesBeginWhereTheCrashedStepLeftOff) {
    // Line 2 is a step whose breach line 3 expects; line 4 is the next step.
    Scenario scenario;
    std::vector<ScenarioError> errors;
    ASSERT_TRUE(parseScenario("load\ncommand a=1\n  expect breach CR1\ncommand b=1\n  expect "
                              "sent none\n",
                              scenario, errors));
    struct Case {
        const char* what;
        int line;
        bool implicit;
        int notPlayed, from;
        const char* place;
    };
    const Case cases[] = {
        {"a step: its breach lines are checked", 2, false, 2, 4, "line 2"},
        // The step the load came before never ran, so it was not played either.
        {"an implicit load", 2, true, 4, 2, "implicit load before line 2"},
        {"the implicit destroy: nothing after it", 0, true, 0, 0, "implicit destroy at the end"},
    };
    for (const Case& c : cases) {
        RecordStream stream(OutputFormat::Quiet, false, false);
        StepRecord began;
        began.line = c.line;
        began.implicit = c.implicit;
        stream.emit(began);
        ChildEnd end;
        end.how = "killed";
        completeCrash(&scenario, 5, stream, end);
        const SummaryRecord summary = stream.tally().summary();
        EXPECT_EQ(summary.notPlayed, c.notPlayed) << c.what;
        EXPECT_EQ(summary.notPlayedFrom, c.from) << c.what;
        ASSERT_EQ(stream.tally().breaches().size(), 1u) << c.what;
        const BreachRecord& crash = stream.tally().breaches().front();
        EXPECT_EQ(stepPlace(crash.line, crash.implicit), c.place) << c.what;
        EXPECT_EQ(stream.tally().expected(crash), !c.implicit) << c.what;
    }
}

} // namespace
