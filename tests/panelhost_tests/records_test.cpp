#include "child/ChildJob.h"
#include "output/RecordJson.h"
#include "output/Transcript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ExpectRecord failedSent(std::vector<std::string> expected, std::vector<std::string> actual) {
    ExpectRecord record;
    record.line = 7;
    record.what = Expectation::Kind::Sent;
    record.expected = ExpectValue::ofLines(std::move(expected));
    record.actual = ExpectValue::ofLines(std::move(actual));
    return record;
}

TEST(panelhost_Records, EveryKindReadsBackFromItsJsonLine) {
    StepRecord step{12, Step::Kind::Press, std::string("alarm=3"), "1", "myDest", {}, true, 4};
    ExpectRecord property;
    property.what = Expectation::Kind::Property;
    property.panel = "1";
    property.property = "text";
    property.expected = ExpectValue::ofText("A");
    property.actual = ExpectValue::none();
    ExpectRecord block = failedSent({"A", "B"}, {"A"});
    block.lines = {7, 8};
    const Record records[] = {
        StartRecord{"lib", "ui", "s"},
        step,
        SentRecord{3, "SD 'A'", std::string("20 7"), true},
        GiveBackRecord{3, std::nullopt},
        EventRecord{3, "selected=7"},
        ReplyRecord{3, std::nullopt},
        DebugRecord{3, "a\nb"},
        BreachRecord{3, 2, Rule::UnknownTimer, "ET 4", "not running"},
        failedSent({"A"}, {"B", "C"}),
        block,
        property,
        ProblemRecord{4, "panel 1 has no control butto", "1 myDest"},
        EndRecord{3},
        PanelRecord{"1", "f", {{"myDest", {{"text", "x"}}}}},
        SummaryRecord{5, 4, 3, 1, 1, 0, 2, 3, 9, 1},
        FatalRecord{"cannot load", 2, "imports"},
        TerminalRecord{TerminalRecord::What::Show, "", {20, 20}, {3}, true},
        OutputRecord{3, "stdout", "{\"type\":\"summary\"}\n"},
        ProgressRecord{4096, 4100, 2000, 1.5},
        MemoryRecord{"counted", 25, 30, {1024, 1024, 66560}, {7, 7, 9}},
        StateRecord{3,
                    {PanelRecord{"1", "f", {{"myDest", {{"text", "x"}}}}}},
                    {{"1", "myDest", "text"}},
                    {20},
                    {4}},
        RecordedRecord{"r.scenario", true, "", 12, {5, 6}, 2, 1},
        RecordedRecord{"r.scenario", false, "lines not played", 0, {}, 0, 0},
        ValidationRecord{"lib", "ui"},
        WorldRecord{1, 3, 9, 2, 1, 1, 3, 0.02},
        CheckRecord{Check::Fuzz,
                    CheckOutcome::Failed,
                    3.5,
                    "99 events, seed 1",
                    {{"GB1", 0, "", 4, "SD 'a'", "not given back", "panelhost fuzz lib"},
                     {"", 0, "", 0, "", "measured by the heap", ""}}},
        CheckRecord{Check::CommandsAndSettings,
                    CheckOutcome::Failed,
                    0.5,
                    "3 steps",
                    {{"GB7", 2, "command instance=x", 0, "SD 'x'", "read it", ""}}},
        ValidatedRecord{"lib", 8, 7, 1, 1, 0, 18446744073709551615ull, 4.5, 1},
        FuzzRecord{"lib", 7, 1000, 2.5},
        FuzzFindingRecord{true, 16, 0.5, BreachRecord{3, 0, Rule::StackExhausted, "", "1 MiB"}},
        ShrunkRecord{1, 16, 2, 9, "load\npress 1 go\n", "replay.scenario"},
        FuzzedRecord{16, 20, 40, 0.5, true, 1},
    };
    for (const Record& record : records) {
        const std::string line = recordToJson(record);
        Record back;
        ASSERT_TRUE(recordFromJson(line, back)) << line;
        EXPECT_EQ(back.index(), record.index()) << line;
        EXPECT_EQ(recordToJson(back), line);
    }
}

TEST(panelhost_Records, EveryByteOfATextSurvivesItsJsonLine) {
    // 0x92 is the component's quote; none of these bytes is valid UTF-8 alone.
    const std::string bytes("it\x92s \x00\x01\xFF \xC3\xA9 \"q\"\n", 16);
    const std::string line = recordToJson(DebugRecord{3, bytes});
    EXPECT_NE(line.find("it\\u0092s"), std::string::npos) << line;
    for (char c : line) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "the JSON is ASCII: " << line;
    }
    Record back;
    ASSERT_TRUE(recordFromJson(line, back)) << line;
    EXPECT_EQ(std::get<DebugRecord>(back).text, bytes);
}

TEST(panelhost_Transcript, AFailedGroupMarksItsFirstDifferingLine) {
    const std::string shown = renderRecord(
        failedSent({"SD 'A'", "RN 20 1 7", "RR 20 1 1"}, {"SD 'A'", "RN 20 1 8"}), false);
    EXPECT_NE(shown.find("FAIL line 7: expect sent"), std::string::npos) << shown;
    EXPECT_NE(shown.find("    SD 'A'"), std::string::npos) << shown;
    EXPECT_NE(shown.find("  > RN 20 1 7"), std::string::npos) << shown;
    EXPECT_NE(shown.find("  > RN 20 1 8"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("  > SD"), std::string::npos) << shown;
    // A list that stops short says so where the other goes on.
    const std::string shorter = renderRecord(failedSent({"SD 'A'", "AS"}, {"SD 'A'"}), false);
    EXPECT_NE(shorter.find("  > (nothing more)"), std::string::npos) << shorter;
}

TEST(panelhost_Transcript, ABlockOfLinesIsNamedByAllOfThem) {
    const struct {
        std::vector<int> lines;
        const char* place;
    } cases[] = {
        {{}, "line 7"},
        {{7, 8, 9, 12}, "lines 7-9, 12"},
        {{7, 9}, "lines 7, 9"},
    };
    for (const auto& c : cases) {
        ExpectRecord record = failedSent({"A"}, {"A"});
        record.held = true;
        record.lines = c.lines;
        EXPECT_EQ(expectPlace(record), c.place);
        EXPECT_NE(
            renderRecord(record, false).find(std::string("ok   ") + c.place + ": expect sent"),
            std::string::npos);
    }
}

TEST(panelhost_Transcript, NoRoutersReadBackAreStillNumbers) {
    ExpectRecord record;
    record.what = Expectation::Kind::Routers;
    record.expected = ExpectValue::ofNumbers({20});
    record.actual = ExpectValue::ofNumbers({});
    Record back;
    ASSERT_TRUE(recordFromJson(recordToJson(record), back));
    const std::string shown = renderRecord(back, false);
    EXPECT_NE(shown.find("expected: 20\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("actual:   none\n"), std::string::npos) << shown;
}

TEST(panelhost_Transcript, ALongTextIsShownAroundItsFirstDifference) {
    ExpectRecord record;
    record.line = 9;
    record.what = Expectation::Kind::Reply;
    std::string expected(10000, 'a');
    std::string actual = expected;
    actual[5000] = 'X';
    actual += "tail";
    record.expected = ExpectValue::ofText(expected);
    record.actual = ExpectValue::ofText(actual);
    const std::string shown = renderRecord(record, false);
    EXPECT_LT(shown.size(), 1000u) << "the texts are not printed whole";
    EXPECT_NE(shown.find("(10000 characters)"), std::string::npos) << shown;
    EXPECT_NE(shown.find("(10004 characters)"), std::string::npos) << shown;
    EXPECT_NE(shown.find("aX"), std::string::npos) << "the window holds the difference";
    EXPECT_NE(shown.find("first difference at character 5001"), std::string::npos) << shown;
}

TEST(panelhost_ChildJob, ReadsBackFromItsJsonByteForByte) {
    ChildJob job;
    job.kind = ChildJob::Kind::Plan;
    job.library = "lib\x92.so";
    job.scenarioText = std::string("load\n\0", 6);
    job.plan.seed = 18446744073709551615ull;
    job.plan.world.keys = {{"level", {}}, {"mode\x92", {"a", "\xFF"}}};
    job.plan.world.panels["1"] = {"ui/x.tarn_ui", {{"knob", {"text"}, false}, {"l_1", {}, true}}};
    job.plan.world.lookups = {{"1", "l_"}};
    job.plan.world.instances = {"studio"};
    job.plan.world.names = {{20, 1, -7}};
    job.plan.world.routers = {20};
    job.plan.world.instanceKeys = {"source"};
    job.plan.droppedFacts = {1, 4};
    job.plan.droppedEvents = {0, 99999999};
    job.plan.selection.skip = {"GB5"};
    job.plan.selection.strict = true;
    job.board = "board-1";
    ChildJob back;
    ASSERT_TRUE(jobFromJson(jobToJson(job), back));
    EXPECT_EQ(back.kind, job.kind);
    EXPECT_EQ(back.library, job.library);
    EXPECT_EQ(back.scenarioText, job.scenarioText);
    EXPECT_EQ(back.plan.seed, job.plan.seed);
    EXPECT_TRUE(back.plan.world == job.plan.world);
    EXPECT_EQ(back.plan.droppedFacts, job.plan.droppedFacts);
    EXPECT_EQ(back.plan.droppedEvents, job.plan.droppedEvents);
    EXPECT_EQ(back.plan.selection.skip, job.plan.selection.skip);
    EXPECT_TRUE(back.plan.selection.strict);
    EXPECT_EQ(back.board, job.board);
    EXPECT_FALSE(jobFromJson("{\"kind\":\"nothing\"}", back));
}

} // namespace
