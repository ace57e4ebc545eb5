#include "output/ScenarioRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

StepRecord step(int line, const char* keyword, bool implicit = false) {
    StepRecord record;
    record.line = line;
    valueOf(keyword, record.step);
    record.implicit = implicit;
    return record;
}

ExpectRecord expect(int line, const char* what, ExpectValue actual) {
    ExpectRecord record;
    record.line = line;
    valueOf(what, record.what);
    record.actual = std::move(actual);
    return record;
}

// Records `text` from `records`; the recording must read back as a scenario.
std::string recorded(const std::string& text, const std::vector<Record>& records,
                     RecordedRecord& outcome) {
    Scenario scenario;
    std::vector<ScenarioError> errors;
    EXPECT_TRUE(parseScenario(text, scenario, errors)) << text;
    ScenarioRecorder recorder(scenario, text, "/ui");
    for (const Record& record : records) {
        recorder.see(record);
    }
    const std::string out = recorder.recorded(outcome);
    Scenario again;
    EXPECT_TRUE(parseScenario(out, again, errors)) << out;
    return out;
}

TEST(panelhost_ScenarioRecorder, WritesWhatHappenedWhereTheStepsExpectationsStood) {
    const std::string text = "# the world\n"
                             "instance A = 20 12\n"
                             "command instance=A\n"
                             "    # what it sends\n"
                             "    expect sent SD 'B'\n"
                             "    expect property 1 myDest text = old\n"
                             "    expect routers 20\n"
                             "\n"
                             "press 1 myDest\n"
                             "timer 4\n";
    const std::vector<Record> records = {
        step(3, "command"),
        SentRecord{3, "SD 'A'", std::string("20 12"), true},
        SentRecord{3, "PS '1' '/ui/x.tarn_ui'", std::string("OK"), false},
        ReplyRecord{3, std::nullopt},
        DebugRecord{3, "level 1\nlevel 2\n"},
        EndRecord{3, 5},
        expect(5, "sent", ExpectValue::ofLines({"SD 'A'", "PS '1' '/ui/x.tarn_ui'"})),
        expect(6, "property", ExpectValue::ofText("it\x92s")),
        [] {
            ExpectRecord held = expect(7, "routers", ExpectValue::ofNumbers({20}));
            held.held = true;
            return held;
        }(),
        step(9, "press"),
        SentRecord{9, "HN 'selected=12'", std::nullopt, false},
        EventRecord{9, "selected=12"},
        BreachRecord{9, 0, Rule::UnknownTimer, "ET 9", "not running"},
        EndRecord{9, 5},
        step(10, "timer"),
        BreachRecord{10, 1, Rule::ComponentCrash, "", "crashed"},
        step(10, "destroy", true),
        BreachRecord{10, 2, Rule::ShutdownMissing, "", "no AS"},
    };
    RecordedRecord outcome;
    EXPECT_EQ(recorded(text, records, outcome), "# the world\n"
                                                "instance A = 20 12\n"
                                                "command instance=A\n"
                                                "    # what it sends\n"
                                                "    expect sent SD 'A'\n"
                                                "    expect sent PS '1' '{ui}/x.tarn_ui'\n"
                                                "    expect event none\n"
                                                "    expect reply none\n"
                                                "    expect debug \"level 1\\n\"\n"
                                                "    expect debug \"level 2\\n\"\n"
                                                "    expect property 1 myDest text = \"it\\x92s\"\n"
                                                "    expect routers 20\n"
                                                "\n"
                                                "press 1 myDest\n"
                                                "  expect sent HN 'selected=12'\n"
                                                "  expect event selected=12\n"
                                                "  expect breach WD6\n"
                                                "timer 4\n"
                                                "  expect breach CR1\n");
    EXPECT_EQ(outcome.expectations, 12);
    EXPECT_EQ(outcome.failed, (std::vector<int>{5, 6}));
    EXPECT_EQ(outcome.breaches, 2);
    EXPECT_EQ(outcome.unrecordable, 1) << "the implicit destroy's breach";
}

TEST(panelhost_ScenarioRecorder, KeepsTheScenariosLineEndsAndItsExpectedDebug) {
    const std::string text = "command x\r\n  expect debug something\r\n  expect reply old";
    const std::vector<Record> records = {step(1, "command"), ReplyRecord{1, std::string("new")},
                                         EndRecord{1, 1}};
    RecordedRecord outcome;
    EXPECT_EQ(recorded(text, records, outcome), "command x\r\n"
                                                "  expect sent none\r\n"
                                                "  expect event none\r\n"
                                                "  expect reply new\r\n"
                                                "  expect debug none");
}

// Of several instances, the step's own gets its lines as written, and each
// other one that the parent's commands reached gets lines naming it, a failed
// expectation of another instance's kept as that instance's.
TEST(panelhost_ScenarioRecorder, NamesEveryInstanceTheStepReached) {
    const std::string text = "child A\n"
                             "child B\n"
                             "parent x= => others\n"
                             "A: press 1 go\n"
                             "  B: expect property 1 go text = old\n";
    StepRecord delivered = step(4, "command");
    delivered.instance = "B";
    delivered.relayed = "x=1";
    delivered.raisedBy = "A";
    StepRecord pressed = step(4, "press");
    pressed.instance = "A";
    ExpectRecord failed = expect(5, "property", ExpectValue::ofText("new"));
    failed.instance = "B";
    const std::vector<Record> records = {
        pressed,
        SentRecord{4, "HN 'x=1'", std::nullopt, false, "A"},
        EventRecord{4, "x=1", "A"},
        EndRecord{4, 5, "A"},
        delivered,
        SentRecord{4, "TP 'text=new' '1' 'go'", std::nullopt, false, "B"},
        ReplyRecord{4, std::nullopt, "B"},
        EndRecord{4, 5, "B"},
        failed,
    };
    RecordedRecord outcome;
    EXPECT_EQ(recorded(text, records, outcome), "child A\n"
                                                "child B\n"
                                                "parent x= => others\n"
                                                "A: press 1 go\n"
                                                "  expect sent HN 'x=1'\n"
                                                "  expect event x=1\n"
                                                "  B: expect sent TP 'text=new' '1' 'go'\n"
                                                "  B: expect event none\n"
                                                "  B: expect reply none\n"
                                                "  B: expect property 1 go text = new\n");
}

} // namespace
