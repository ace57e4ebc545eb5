#include "Run.h"

#include "RecordStream.h"
#include "Session.h"
#include "Watchdog.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

using nlohmann::json;

namespace {

OutputFormat formatOf(const Options& options) {
    return options.quiet  ? OutputFormat::Quiet
           : options.json ? OutputFormat::Json
                          : OutputFormat::Text;
}

// The held expectation of the crashed step that foresaw the crash; null when
// none did.
json foreseenCrash(const Scenario& scenario, int stepLine, const std::string& rule) {
    bool inStep = false;
    for (const Item& item : scenario.items) {
        if (std::holds_alternative<Step>(item.what)) {
            if (inStep) {
                return nullptr;
            }
            inStep = item.line == stepLine;
            continue;
        }
        const Expectation* expectation = std::get_if<Expectation>(&item.what);
        if (inStep && expectation != nullptr && expectation->kind == Expectation::Kind::Breach &&
            expectation->rule == rule) {
            return {{"type", "expect"}, {"line", item.line}, {"what", "breach"}, {"held", true},
                    {"rule", rule},     {"step", stepLine},  {"expected", rule}, {"actual", rule}};
        }
    }
    return nullptr;
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", value);
    return text;
}

} // namespace

int runSession(const Options& options, const std::string& records) {
    RecordStream stream(formatOf(options), options.verbose, options.strict, records);
    SessionOptions sessionOptions;
    sessionOptions.library = options.library;
    sessionOptions.ui = options.ui;
    sessionOptions.scenario =
        options.mode == Options::Mode::Interactive ? "(standard input)" : options.scenario;
    Scenario scenario;
    std::string error;
    if (options.mode != Options::Mode::Interactive &&
        !loadScenario(options.scenario, scenario, error)) {
        stream.emitFatal(error);
        return 2;
    }
    Session session(sessionOptions, stream);
    if (!session.open(error)) {
        stream.emitFatal(error);
        return 2;
    }
    if (options.mode == Options::Mode::Interactive) {
        std::string line;
        int number = 0;
        while (std::getline(std::cin, line) && session.fatal().empty()) {
            std::optional<Item> item;
            if (!parseScenarioLine(line, ++number, item, error)) {
                std::fprintf(stderr, "panelhost: line %d: %s\n", number, error.c_str());
                std::fflush(stderr);
            } else if (item) {
                session.apply(*item);
            }
        }
    } else {
        for (const Item& item : scenario.items) {
            session.apply(item);
        }
    }
    session.finish();
    if (!session.fatal().empty()) {
        stream.emitFatal(session.fatal());
        return 2;
    }
    return stream.emitSummary();
}

int superviseRun(const Options& options, const Scenario* scenario, std::vector<json>* records) {
    const std::string recordsFile = temporaryFileName("panelhost-records", ".jsonl");
    ChildLaunch launch;
    launch.records = recordsFile;
    launch.arguments = childArguments(options, recordsFile);
    launch.body = [&options, &recordsFile] { return runSession(options, recordsFile); };
    RecordStream stream(formatOf(options), options.verbose, options.strict, "");
    const WatchResult result = watchChild(launch, options.timeout, [&](const json& record) {
        stream.absorb(record);
        if (records != nullptr) {
            records->push_back(record);
        }
    });
    std::error_code ignored;
    std::filesystem::remove(recordsFile, ignored);
    if (result.exitCode == -1) {
        stream.emitFatal(result.how);
        return 2;
    }
    const RunTally& tally = stream.tally();
    if (tally.fatal()) {
        return 2;
    }
    if (tally.finished() && !result.hung) {
        // A status of its own after the summary (a sanitizer's, say) fails the run.
        return result.exitCode == 0 || result.exitCode == 1 ? result.exitCode : 1;
    }
    // The child died or hung: the record is completed here, in its format.
    const std::string rule = result.hung ? "CR2" : "CR1";
    const RuleInfo& info = *findRule(rule);
    const std::string detail = result.hung
                                   ? "the step did not return within " + seconds(options.timeout)
                                   : result.how + " before the run finished";
    const json breach = {{"type", "breach"},
                         {"line", tally.stepLine()},
                         {"rule", info.id},
                         {"name", info.name},
                         {"severity", severityName(info.severity)},
                         {"command", tally.lastCommand()},
                         {"detail", detail}};
    const auto emit = [&](const json& record) {
        stream.emit(record);
        if (records != nullptr) {
            records->push_back(record);
        }
    };
    emit(breach);
    if (scenario != nullptr) {
        const json foreseen = foreseenCrash(*scenario, tally.stepLine(), rule);
        if (!foreseen.is_null()) {
            emit(foreseen);
        }
    }
    const json summary = stream.tally().summary();
    emit(summary);
    return summary.value("status", 1);
}
