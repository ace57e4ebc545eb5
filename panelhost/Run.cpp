#include "Run.h"

#include "ExpectedBreaches.h"
#include "Session.h"
#include "Watchdog.h"

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

} // namespace

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
        // At a terminal: a line that is not in the language is reported and the
        // session goes on with the next.
        std::string line;
        int number = 0;
        while (session.fatal().empty() && std::getline(std::cin, line)) {
            std::optional<Item> item;
            ScenarioError lineError;
            if (!parseScenarioLine(line, ++number, item, lineError)) {
                std::fprintf(stderr, "panelhost: %s\n", lineError.where().c_str());
                std::fflush(stderr);
            } else if (item) {
                session.apply(*item);
            }
        }
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

int superviseRun(const Options& options, const Scenario* scenario) {
    RecordStream stream(formatOf(options), options.verbose, options.strict, "");
    return superviseChild(options, scenario, stream, [&](const std::string& records) {
        return runSession(options, scenario, records);
    });
}
