#include "modes/ScenarioRun.h"

#include "child/Supervisor.h"
#include "language/ScenarioInput.h"
#include "output/ScenarioJUnit.h"

#include <optional>

int runScenario(const RunSettings& settings) {
    const OutputFormat format = settings.json ? OutputFormat::Json : OutputFormat::Text;
    const std::string name = settings.scenario == "-" ? StandardInputName : settings.scenario;
    ChildJob job;
    job.kind = ChildJob::Kind::Scenario;
    job.library = settings.target.library;
    job.ui = settings.target.ui;
    job.scenarioName = name;
    Scenario scenario;
    std::vector<ScenarioError> errors;
    if (!loadScenario(settings.scenario, job.scenarioText, scenario, errors)) {
        return reportFatal(format, describeErrors(name, errors));
    }
    RecordStream stream(format, settings.verbose, settings.strict);
    std::optional<ScenarioJUnit> junit;
    if (!settings.junit.empty()) {
        junit.emplace(scenario);
        stream.observe([&junit](const Record& record) { junit->see(record); });
    }
    const int status = supervise(job, settings.target.timeout, &scenario, stream);
    if (status == 2) {
        return 2;
    }
    if (junit && !junit->report("panelhost " + name, stream.tally(), settings.strict)
                      .write(settings.junit)) {
        stream.emitSummary(2);
        return stream.emitFatal("cannot write the JUnit report to " + settings.junit);
    }
    return stream.emitSummary(status);
}

int runTerminal(const TerminalSettings& settings) {
    ChildJob job;
    job.kind = ChildJob::Kind::Terminal;
    job.library = settings.target.library;
    job.ui = settings.target.ui;
    RecordStream stream(OutputFormat::Text, settings.verbose, settings.strict);
    const int status = supervise(job, settings.target.timeout, nullptr, stream);
    return status == 2 ? 2 : stream.emitSummary(status);
}
