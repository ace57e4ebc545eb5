#include "language/Scenario.h"
#include "language/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Item parsed(const std::string& line) {
    std::optional<Item> item;
    ScenarioError error;
    EXPECT_TRUE(parseScenarioLine(line, 3, item, error)) << line << ": " << error.where();
    EXPECT_TRUE(item.has_value()) << line;
    return item.value_or(Item());
}

TEST(panelhost_ScenarioLanguage, ReadsFacts) {
    Fact setting = std::get<Fact>(parsed("setting PKG driver_ids = 10,20, 30").what);
    EXPECT_EQ(setting.kind, Fact::Kind::Setting);
    EXPECT_EQ(setting.object, "PKG");
    EXPECT_EQ(setting.id, "driver_ids");
    EXPECT_EQ(setting.value, std::optional<std::string>("10,20, 30"));

    Fact name = std::get<Fact>(parsed("  name 20 1 -7 = \" Studio A\\n\"").what);
    EXPECT_EQ(name.device, 20);
    EXPECT_EQ(name.index, -7);
    EXPECT_EQ(name.value, std::optional<std::string>(" Studio A\n"));
    EXPECT_FALSE(std::get<Fact>(parsed("name 20 1 7 = none").what).value.has_value());

    Fact instance = std::get<Fact>(parsed("instance STUDIO_A = 20 7").what);
    EXPECT_EQ(instance.object, "STUDIO_A");
    EXPECT_EQ(instance.value, std::optional<std::string>("20 7"));

    Fact control = std::get<Fact>(parsed("control 2 alm_a value =").what);
    EXPECT_EQ(control.panel + control.control + control.property, "2alm_avalue");
    EXPECT_EQ(control.value, std::optional<std::string>(""));

    Fact answer = std::get<Fact>(parsed("answer SD 'X' => 1 2").what);
    EXPECT_EQ(answer.object, "SD 'X'");
    EXPECT_EQ(answer.value, std::optional<std::string>("1 2"));
    EXPECT_FALSE(std::get<Fact>(parsed("answer RN => none").what).value.has_value());
    EXPECT_TRUE(std::get<Fact>(parsed("answer RN => world").what).backToWorld);

    EXPECT_EQ(std::get<Fact>(parsed("child B-2").what).object, "B-2");
    Fact relay = std::get<Fact>(parsed("parent pressed= => others selected=").what);
    EXPECT_EQ(relay.object, "pressed=");
    EXPECT_EQ(relay.relay, Fact::Relay::Others);
    EXPECT_EQ(relay.value, std::optional<std::string>("selected="));
    EXPECT_EQ(std::get<Fact>(parsed("parent \"x \" => none").what).object, "x ");
    EXPECT_FALSE(std::get<Fact>(parsed("parent a => every").what).value.has_value());

    // A line names its child before its keyword, as written.
    const Item addressed = parsed("  B-2: press 1 go");
    EXPECT_EQ(addressed.instance, "B-2");
    EXPECT_TRUE(addressed.addressed && !addressed.every);
    EXPECT_TRUE(parsed("every: command x=1").every);
}

TEST(panelhost_ScenarioLanguage, ReadsSteps) {
    const struct {
        const char* line;
        Step::Kind kind;
        std::optional<std::string> text;
        int first;
    } cases[] = {
        {"load", Step::Kind::Load, std::nullopt, 0},
        {"command instance=A B", Step::Kind::Command, std::string("instance=A B"), 0},
        {"command none", Step::Kind::Command, std::nullopt, 0},
        {"command \"none\"", Step::Kind::Command, std::string("none"), 0},
        {"command", Step::Kind::Command, std::string(""), 0},
        {"press 1 myDest alarm=3", Step::Kind::Press, std::string("alarm=3"), 0},
        {"press 1 myDest", Step::Kind::Press, std::string(""), 0},
        {"dbchange 20 1 7 = Studio B", Step::Kind::DatabaseChange, std::string("Studio B"), 20},
        {"timer 4", Step::Kind::Timer, std::nullopt, 4},
        {"revertive 20 7 3", Step::Kind::Revertive, std::nullopt, 20},
        {"revertive", Step::Kind::Revertive, std::nullopt, 0},
        {"aux anything", Step::Kind::Aux, std::string("anything"), 0},
        {"destroy", Step::Kind::Destroy, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const Step step = std::get<Step>(parsed(c.line).what);
        EXPECT_EQ(step.kind, c.kind) << c.line;
        EXPECT_EQ(step.text, c.text) << c.line;
        EXPECT_EQ(step.numbers[0], c.first) << c.line;
    }
    const Step press = std::get<Step>(parsed("press 2 tally_L1").what);
    EXPECT_EQ(press.panel + "/" + press.control, "2/tally_L1");
}

TEST(panelhost_ScenarioLanguage, ReadsExpectations) {
    Expectation sent = std::get<Expectation>(parsed("expect sent TP 'text=A' '1' 'myDest'").what);
    EXPECT_EQ(sent.kind, Expectation::Kind::Sent);
    EXPECT_EQ(sent.text, std::optional<std::string>("TP 'text=A' '1' 'myDest'"));
    EXPECT_FALSE(std::get<Expectation>(parsed("expect event none").what).text.has_value());

    Expectation property =
        std::get<Expectation>(parsed("expect property 1 myDest text = \"\"").what);
    EXPECT_EQ(property.control, "myDest");
    EXPECT_EQ(property.text, std::optional<std::string>(""));

    EXPECT_EQ(std::get<Expectation>(parsed("expect routers 20 30").what).numbers,
              (std::vector<int>{20, 30}));
    EXPECT_TRUE(std::get<Expectation>(parsed("expect timers none").what).numbers.empty());
    // A rule may be named by its id in any case or by its name; it is kept as the id.
    EXPECT_EQ(std::get<Expectation>(parsed("expect breach gb1").what).rule, "GB1");
    EXPECT_EQ(std::get<Expectation>(parsed("expect breach component-hang").what).rule, "CR2");
}

TEST(panelhost_ScenarioLanguage, SaysWhereAndWhyALineIsNotInTheLanguage) {
    const struct {
        const char* text;
        const char* where;
    } cases[] = {
        {"load\nfrobnicate 1", "line 2, column 1: unknown keyword 'frobnicate'; the keywords are "
                               "setting, name, instance, control, answer, child, parent, load, "
                               "command, press, dbchange, timer, revertive, aux, destroy, event, "
                               "expect"},
        {"load\n  expct sent AS", "line 2, column 3: unknown keyword 'expct' (did you mean "
                                  "'expect'?); the keywords are setting, name, instance, control, "
                                  "answer, child, parent, load, command, press, dbchange, timer, "
                                  "revertive, aux, destroy, event, expect"},
        {"expect sent AS", "line 1: an expectation before any step: it has nothing to check"},
        {"timer four", "line 1, column 7: expected a number for the timer id, found 'four'"},
        {"timer 12345678901234567890",
         "line 1, column 7: the timer id 12345678901234567890 is out of range (-2147483648 to "
         "2147483647)"},
        {"load\nexpect breach XX9",
         "line 2, column 15: no rule XX9 (panelhost --list-rules lists them)"},
        {"name 1 2 3 Studio", "line 1, column 12: expected '=' after the index, found 'Studio'"},
        {"setting PKG = 2", "line 1, column 13: expected a setting id before '='"},
        {"load\nexpect property 1 myDest = foo",
         "line 2, column 26: expected a property before '='"},
        {"command \"open", "line 1, column 9: the quoted text is not closed"},
        {"command \"a\\qb\"", "line 1, column 11: unknown escape \\q (the escapes are \\n \\t "
                              "\\r \\\\ \\\" \\xHH)"},
        {"answer SD 1 2",
         "line 1, column 8: expected answer PREFIX => REPLY, but there is no '=>'"},
        {"load extra", "line 1, column 6: unexpected 'extra' at the end of the line"},
        {"revertive 1 2", "line 1, column 14: revertive takes three numbers (device, "
                          "destination, source) or none"},
        {"load\nexpect routers some", "line 2, column 16: expected a number for a router, found "
                                      "'some'"},
        {"setting PKG levels = 2", "holds no step, so nothing would be played or checked"},
        // Children: named before the first step, each step addressed to one or
        // every, an expectation about one, the host's facts about none.
        {"child A\nload", "line 2: the scenario names its children: say which one this step is "
                          "for (NAME: load ..., or every: ...)"},
        {"child A\nB: load", "line 2: no child B; the children are A"},
        {"load\nchild A", "line 2: the first child is named after steps that played the "
                          "component unnamed: name the children before the first step"},
        {"A: load", "line 1: the scenario names no child, so a line cannot be addressed to one "
                    "(name them first: child NAME)"},
        {"child A\nchild A\nA: load", "line 2: child A is already named"},
        {"child every", "line 1, column 7: 'every' addresses every child; no child is named so"},
        {"child A:1", "line 1, column 7: a child's name is letters, digits, '_', '-' and '.', "
                      "not 'A:1'"},
        {"child A\nevery: load\n  expect sent none",
         "line 3: the step before was every child's: say which child this expectation is about "
         "(NAME: expect ...)"},
        {"child A\nA: load\n  every: expect sent none",
         "line 3: an expectation is about one child: name it"},
        {"child A\nA: setting PKG levels = 2\nA: load",
         "line 2: a setting line is the host's, shared by every child: it names none"},
        {"parent selected= => all\nload",
         "line 1, column 21: expected every, others, none after '=>'"},
        {"parent selected= => none x\nload", "line 1, column 26: unexpected 'x' after none"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        std::vector<ScenarioError> errors;
        EXPECT_FALSE(parseScenario(c.text, scenario, errors)) << c.text;
        ASSERT_EQ(errors.size(), 1u) << c.text;
        EXPECT_EQ(errors[0].where(), c.where) << c.text;
    }
}

TEST(panelhost_ScenarioLanguage, ReportsEveryBadLineInOneReading) {
    Scenario scenario;
    std::vector<ScenarioError> errors;
    EXPECT_FALSE(
        parseScenario("load\ntimer x\ncommand ok\npress\nexpect nothing\n", scenario, errors));
    std::vector<int> lines;
    for (const ScenarioError& error : errors) {
        lines.push_back(error.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 4, 5}));
}

TEST(panelhost_ScenarioLanguage, KeepsLineNumbersAndSkipsComments) {
    Scenario scenario;
    std::vector<ScenarioError> errors;
    ASSERT_TRUE(parseScenario("# title\n\n  load\n# note\n  expect sent none\n", scenario, errors));
    ASSERT_EQ(scenario.items.size(), 2u);
    EXPECT_EQ(scenario.items[0].line, 3);
    EXPECT_EQ(scenario.items[1].line, 5);
}

TEST(panelhost_ScenarioTexts, EncodingReadsBackTheSameText) {
    const std::string texts[] = {"plain",
                                 "",
                                 " lead",
                                 "trail ",
                                 "none",
                                 "world",
                                 "a\nb",
                                 "\"q",
                                 "tab\there",
                                 "back\\slash \"x\"",
                                 std::string("\x01z", 2)};
    for (const std::string& text : texts) {
        std::string back;
        std::string error;
        ASSERT_TRUE(decodeText(encodeText(text), back, error)) << encodeText(text);
        EXPECT_EQ(back, text) << encodeText(text);
    }
    EXPECT_EQ(encodeText("selected=7"), "selected=7");
    EXPECT_EQ(encodeText(""), "\"\"");
}

} // namespace
