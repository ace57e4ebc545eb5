#include "modes/ScenarioRun.h"

#include "child/Supervisor.h"
#include "language/ScenarioInput.h"
#include "output/HtmlReport.h"
#include "output/OutputFile.h"
#include "output/ScenarioJUnit.h"
#include "output/ScenarioRecorder.h"

#include <optional>

namespace {

// Writes the recorded scenario and says so in a record (one that left lines
// unplayed is not written, and the record says why); false with the reason
// when it cannot be written.
bool record(const std::string& path, const ScenarioRecorder& recorder, RecordStream& stream,
            std::string& reason) {
    RecordedRecord outcome;
    outcome.file = path;
    if (leftLinesUnplayed(stream.tally().summary(), outcome)) {
        stream.emit(outcome);
        return true;
    }
    if (!writeWholeFile(path, recorder.recorded(outcome), reason)) {
        return false;
    }
    stream.emit(outcome);
    return true;
}

} // namespace

int runScenario(const RunSettings& settings) {
    const OutputFormat format = settings.json ? OutputFormat::Json : OutputFormat::Text;
    const std::string name = settings.scenario == "-" ? StandardInputName : settings.scenario;
    std::string text;
    Scenario scenario;
    std::vector<ScenarioError> errors;
    if (!loadScenario(settings.scenario, text, scenario, errors)) {
        return reportFatal(format, describeErrors(name, errors));
    }
    const ChildJob job = writtenScenarioJob(settings.target, name, text, !settings.html.empty());
    RecordStream stream(format, settings.verbose, settings.strict);
    std::optional<ScenarioJUnit> junit;
    if (!settings.junit.empty()) {
        junit.emplace(scenario);
        stream.observe([&junit](const Record& record) { junit->see(record); });
    }
    std::optional<ScenarioRecorder> recorder;
    if (!settings.record.empty()) {
        recorder.emplace(scenario, job.scenarioText, settings.target.ui);
        stream.observe([&recorder](const Record& record) { recorder->see(record); });
    }
    std::optional<HtmlReport> html;
    if (!settings.html.empty()) {
        html.emplace("scenario", "panelhost: " + name);
        html->beginRun("", name, job.scenarioText);
        stream.observe([&html](const Record& record) { html->see(record); });
    }
    const int status = supervise(job, settings.target.timeout, &scenario, stream);
    if (status == 2) {
        return 2;
    }
    // The reports first, so that the summary states the status the run ends with.
    std::string failure;
    std::string reason;
    if (junit && !junit->report("panelhost " + name, stream.tally(), settings.strict)
                      .write(settings.junit, reason)) {
        failure = cannotWrite("the JUnit report", settings.junit, reason);
    } else if (recorder && !record(settings.record, *recorder, stream, reason)) {
        failure = cannotWrite("the recorded scenario", settings.record, reason);
    } else if (html) {
        SummaryRecord summary = stream.tally().summary();
        summary.status = status;
        html->see(summary);
        html->setStatus(status);
        if (!html->write(settings.html, reason)) {
            failure = cannotWrite("the HTML page", settings.html, reason);
        }
    }
    if (!failure.empty()) {
        stream.emitSummary(2);
        return stream.emitFatal(failure);
    }
    return stream.emitSummary(status);
}

int runTerminal(const TerminalSettings& settings) {
    RecordStream stream(OutputFormat::Text, settings.verbose, settings.strict);
    const int status =
        supervise(terminalJob(settings.target), settings.target.timeout, nullptr, stream);
    return status == 2 ? 2 : stream.emitSummary(status);
}
