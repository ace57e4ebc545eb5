#include "child/Run.h"

#include "child/ChildProcess.h"
#include "host/ExpectedBreaches.h"
#include "host/Session.h"
#include "language/Text.h"
#include "output/JUnitReport.h"
#include "output/Transcript.h"

#include <cstdio>
#include <iostream>

namespace {

OutputFormat formatOf(const Options& options) {
    return options.quiet  ? OutputFormat::Quiet
           : options.json ? OutputFormat::Json
                          : OutputFormat::Text;
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", value);
    return text;
}

// The step of `scenario` at `stepLine` (its index), or the item count when none.
std::size_t stepIndex(const Scenario& scenario, int stepLine) {
    for (std::size_t i = 0; i < scenario.items.size(); ++i) {
        if (scenario.items[i].line == stepLine &&
            std::holds_alternative<Step>(scenario.items[i].what)) {
            return i;
        }
    }
    return scenario.items.size();
}

// Completes the record of a child that crashed or hung in the step at
// `stepLine`: the breach, the expectations of that step that foresaw it, and the
// count of lines that were never played.
void completeCrash(const Options& options, const Scenario* scenario, RecordStream& stream,
                   const WatchResult& result) {
    RunTally& tally = stream.tally();
    const int stepLine = tally.stepLine();
    const BreachRecord breach{
        stepLine, static_cast<long>(tally.breaches().size()),
        result.hung ? Rule::ComponentHang : Rule::ComponentCrash, tally.lastCommand(),
        result.hung ? "the step did not return within " + seconds(options.timeout)
                    : result.how + " before the run finished"};
    stream.emit(breach);
    if (scenario == nullptr) {
        return;
    }
    const std::size_t step = stepIndex(*scenario, stepLine);
    std::size_t next = step + 1;
    std::vector<const Item*> foreseen;
    for (; next < scenario->items.size(); ++next) {
        const Expectation* expectation = std::get_if<Expectation>(&scenario->items[next].what);
        if (expectation == nullptr) {
            break;
        }
        if (expectation->kind == Expectation::Kind::Breach) {
            foreseen.push_back(&scenario->items[next]);
        }
    }
    std::vector<BreachRecord> ofStep;
    for (const BreachRecord& each : tally.breaches()) {
        if (each.line == stepLine) {
            ofStep.push_back(each);
        }
    }
    for (const ExpectRecord& record : matchExpectedBreaches(foreseen, ofStep, stepLine)) {
        stream.emit(record);
    }
    // Everything after the step but the breach lines just checked was never played.
    int notPlayed = 0;
    int from = 0;
    for (std::size_t i = step + 1; i < scenario->items.size(); ++i) {
        const Expectation* expectation = std::get_if<Expectation>(&scenario->items[i].what);
        if (i < next && expectation != nullptr && expectation->kind == Expectation::Kind::Breach) {
            continue;
        }
        from = from == 0 ? scenario->items[i].line : from;
        ++notPlayed;
    }
    tally.setNotPlayed(notPlayed, from);
}

const char* const TerminalHelp =
    "Type scenario lines; each takes effect at once, and an expectation is checked as\n"
    "soon as it is entered (a sent or event line against the next entry of the step).\n"
    "  world facts: setting OBJECT ID = TEXT | name DEVICE DATABASE INDEX = TEXT\n"
    "               instance NAME = TEXT | control PANEL CONTROL PROPERTY = TEXT\n"
    "               answer PREFIX => TEXT|none|world\n"
    "  steps:       load | command TEXT | press PANEL CONTROL [TEXT] | timer ID\n"
    "               dbchange DEVICE DATABASE INDEX = TEXT | revertive [D S R] | aux [TEXT]\n"
    "               event TYPE | destroy\n"
    "  expect:      sent | event | debug | reply TEXT|none, property PANEL CONTROL PROP =\n"
    "               TEXT, routers N.., timers N.., breach RULE\n"
    "  show         the panels, the registered routers and the running timers\n"
    "  help, ?      this text\n"
    "  quit, exit   destroy the component and end with the summary\n";

// A session typed at a terminal: a prompt, help, show, and a line that is not in
// the language reported without ending the session.
void converse(Session& session) {
    session.setImmediate(true);
    std::printf("panelhost: type scenario lines; 'help' lists them, 'quit' ends\n");
    std::string line;
    int number = 0;
    for (;;) {
        std::printf("panelhost> ");
        std::fflush(stdout);
        if (!session.fatal().empty() || !std::getline(std::cin, line)) {
            std::printf("\n");
            break;
        }
        ++number;
        const std::string word = trim(line);
        if (word == "quit" || word == "exit") {
            break;
        }
        if (word == "help" || word == "?") {
            std::fputs(TerminalHelp, stdout);
            continue;
        }
        if (word == "show") {
            std::fputs(session.show().c_str(), stdout);
            continue;
        }
        std::optional<Item> item;
        ScenarioError lineError;
        if (!parseScenarioLine(line, number, item, lineError)) {
            std::printf("panelhost: %s\n", lineError.where().c_str());
        } else if (item) {
            session.apply(*item);
        }
    }
}

} // namespace

int reportFatal(const Options& options, const std::string& message) {
    RecordStream stream(options.json ? OutputFormat::Json : OutputFormat::Quiet, false, false, "");
    return stream.emitFatal(message);
}

int runSession(const Options& options, const Scenario* scenario, const std::string& records) {
    RecordStream stream(formatOf(options), options.verbose, options.strict, records);
    SessionOptions sessionOptions;
    sessionOptions.library = options.library;
    sessionOptions.ui = options.ui;
    sessionOptions.scenario = scenario == nullptr ? "(standard input)" : options.scenario;
    Session session(sessionOptions, stream);
    std::string error;
    if (!session.open(error)) {
        return stream.emitFatal(error);
    }
    if (scenario == nullptr) {
        converse(session);
    } else {
        for (const Item& item : scenario->items) {
            session.apply(item);
        }
    }
    session.finish();
    if (!session.fatal().empty()) {
        return stream.emitFatal(session.fatal());
    }
    return stream.emitSummary();
}

int superviseChild(const Options& options, const Scenario* scenario, RecordStream& stream,
                   const std::function<int(const std::string& records)>& body,
                   const std::function<void(const Record&)>& onRecord,
                   const std::function<void()>& onTick) {
    const std::string records = temporaryFileName("panelhost-records", "");
    Options childOptions = options;
    childOptions.childRecords = records;
    ChildLaunch launch;
    launch.records = records;
    launch.arguments = childArguments(childOptions, records);
    launch.body = [&body, &records] { return body(records); };
    const WatchResult result = watchChild(
        launch, options.timeout,
        [&](const Record& record) {
            stream.absorb(record);
            if (onRecord) {
                onRecord(record);
            }
        },
        onTick);
    if (result.exitCode == -1) {
        return stream.emitFatal(result.how);
    }
    const RunTally& tally = stream.tally();
    if (tally.fatal()) {
        return 2;
    }
    if (tally.finished() && !result.hung) {
        // A status of its own after the summary (a sanitizer's, say) fails the run.
        return result.exitCode == 0 || result.exitCode == 1 ? result.exitCode : 1;
    }
    completeCrash(options, scenario, stream, result);
    return stream.emitSummary();
}

int superviseRun(const Options& options, const Scenario* scenario, RecordStream& stream) {
    return superviseChild(options, scenario, stream, [&](const std::string& records) {
        return runSession(options, scenario, records);
    });
}

int superviseRun(const Options& options, const Scenario* scenario) {
    RecordStream stream(formatOf(options), options.verbose, options.strict, "");
    if (options.junit.empty()) {
        return superviseRun(options, scenario, stream);
    }
    // One testcase per expectation, and one per breach that fails the run.
    std::vector<ExpectRecord> expectations;
    stream.observe([&](const Record& record) {
        if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
            expectations.push_back(*expect);
        }
    });
    const int status = superviseRun(options, scenario, stream);
    JUnitReport report("panelhost " + options.scenario);
    for (const ExpectRecord& expect : expectations) {
        const std::string name = "line " + std::to_string(expect.line) + ": expect " + expect.what +
                                 (expect.rule.empty() ? "" : " " + expect.rule);
        if (expect.held) {
            report.pass(name, 0);
        } else {
            report.fail(name, 0, "the expectation failed", renderRecord(expect, false));
        }
    }
    const RunTally& tally = stream.tally();
    for (const BreachRecord& breach : tally.breaches()) {
        const Severity severity = ruleInfo(breach.rule).severity;
        if (!tally.expected(breach) && (severity == Severity::Error || options.strict)) {
            report.fail("line " + std::to_string(breach.line) + ": breach " +
                            ruleInfo(breach.rule).id,
                        0, ruleInfo(breach.rule).name, renderRecord(breach, false));
        }
    }
    if (tally.summary().notPlayed > 0) {
        report.fail("lines not played", 0, "the component crashed or hung",
                    renderRecord(tally.summary(), false));
    }
    if (!report.write(options.junit)) {
        std::fprintf(stderr, "panelhost: cannot write the JUnit report to %s\n",
                     options.junit.c_str());
        return 2;
    }
    return status;
}
