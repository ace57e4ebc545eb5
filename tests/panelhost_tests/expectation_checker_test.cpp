#include "host/ExpectationChecker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Held : public RecordSink {
public:
    void emit(const Record& record) override {
        if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
            results.push_back(std::to_string(expect->line) + (expect->held ? " ok" : " FAIL"));
        }
    }
    std::vector<std::string> results;
};

Item line(const std::string& text, int number) {
    std::optional<Item> item;
    ScenarioError error;
    EXPECT_TRUE(parseScenarioLine(text, number, item, error)) << text << ": " << error.where();
    return item.value_or(Item());
}

// What a step caused: no component is loaded, the log and world are made here.
struct Step {
    StepLog log;
    std::string debug;
    std::optional<std::string> reply;
    World world;
    Panels panels;
    OutcomeOf outcome() const {
        return [this](const std::string&) {
            return StepOutcome{log, debug, reply, world, panels, {}};
        };
    }
};

TEST(panelhost_ExpectationChecker, ChecksEachKindAgainstTheStepBeforeIt) {
    Step step;
    step.log.line = 1;
    step.log.sent = {"SD 'A'", "PS '1' 'u/q.tarn_ui'"};
    step.log.events = {"selected=7"};
    step.log.breaches = {BreachRecord{1, 0, Rule::UnknownTimer, "ET 4", ""},
                         BreachRecord{1, 1, Rule::UnknownTimer, "ET 5", ""}};
    step.debug = "a\nb";
    step.reply = std::string("x");
    step.panels.setControlProperty("1", "myDest", "text", "Studio A");
    step.world.startTimer(3);
    const struct {
        std::vector<const char*> lines;
        std::vector<std::string> results;
    } cases[] = {
        {{"expect sent SD 'A'", "expect sent PS '1' '{ui}/q.tarn_ui'"}, {"2 ok"}},
        {{"expect sent SD 'A'"}, {"2 FAIL"}},
        {{"expect event selected=7", "expect sent none"}, {"2 ok", "3 FAIL"}},
        {{"expect debug \"a\\n\"", "expect debug b"}, {"2 ok"}},
        {{"expect reply x", "expect reply none"}, {"2 ok", "3 FAIL"}},
        {{"expect property 1 myDest text = Studio A", "expect property 1 myDest x = none"},
         {"2 ok", "3 ok"}},
        {{"expect timers 3", "expect routers 20"}, {"2 ok", "3 FAIL"}},
        // Each breach line covers one breach: a third of the same rule finds none.
        {{"expect breach WD6", "expect breach WD6", "expect breach WD6"},
         {"2 ok", "3 ok", "4 FAIL"}},
    };
    for (const auto& c : cases) {
        Held sink;
        ExpectationChecker checker("u", sink);
        int number = 1;
        for (const char* text : c.lines) {
            checker.add(line(text, ++number), step.outcome());
        }
        EXPECT_TRUE(sink.results.empty()) << "nothing is checked before the next line";
        checker.check(step.outcome());
        EXPECT_EQ(sink.results, c.results) << c.lines.front();
    }
}

TEST(panelhost_ExpectationChecker, AtATerminalChecksEachListLineAgainstTheNextEntry) {
    Step step;
    step.log.sent = {"SD 'A'", "RN 20 1 7"};
    Held sink;
    ExpectationChecker checker("u", sink);
    checker.setImmediate(true);
    checker.add(line("expect sent SD 'A'", 2), step.outcome());
    checker.add(line("expect sent RN 20 1 8", 3), step.outcome());
    checker.add(line("expect sent AS", 4), step.outcome());
    checker.beginStep();
    checker.add(line("expect sent SD 'A'", 6), step.outcome());
    EXPECT_EQ(sink.results, (std::vector<std::string>{"2 ok", "3 FAIL", "4 FAIL", "6 ok"}));
}

// Lines about different instances after one step are judged each against its
// own instance: a list is gathered per instance, a property read in its panels.
TEST(panelhost_ExpectationChecker, EachInstanceIsJudgedOnItsOwn) {
    Step a;
    a.log.sent = {"SD 'A'"};
    a.panels.setControlProperty("1", "myDest", "statesheet", "high");
    Step b;
    b.panels.setControlProperty("1", "myDest", "statesheet", "low");
    const OutcomeOf outcomeOf = [&](const std::string& name) {
        return (name == "A" ? a : b).outcome()(name);
    };
    Held sink;
    ExpectationChecker checker("u", sink);
    int number = 1;
    for (const char* text :
         {"A: expect sent SD 'A'", "B: expect sent none", "B: expect sent SD 'A'",
          "A: expect property 1 myDest statesheet = high",
          "B: expect property 1 myDest statesheet = high"}) {
        checker.add(line(text, ++number), outcomeOf);
    }
    checker.check(outcomeOf);
    EXPECT_EQ(sink.results, (std::vector<std::string>{"2 ok", "3 FAIL", "5 ok", "6 FAIL"}));
}

} // namespace
