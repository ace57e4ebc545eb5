#include "output/ScenarioJUnit.h"

#include "output/Transcript.h"

void ScenarioJUnit::see(const Record& record) {
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        m_stepLine = step->line;
        m_stepImplicit = step->implicit;
    } else if (const EndRecord* end = std::get_if<EndRecord>(&record)) {
        m_stepSeconds[{end->line, m_stepImplicit}] += end->micros > 0 ? end->micros / 1e6 : 0;
    } else if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
        m_expectations.push_back(*expect);
        m_expectationSteps.push_back(m_stepLine);
    } else if (const ProblemRecord* problem = std::get_if<ProblemRecord>(&record)) {
        m_problems.push_back(*problem);
    }
}

double ScenarioJUnit::secondsOf(int stepLine, bool implicit) const {
    const auto found = m_stepSeconds.find({stepLine, implicit});
    return found == m_stepSeconds.end() ? 0 : found->second;
}

std::string ScenarioJUnit::source(int line, const std::string& instance) const {
    for (const Item& item : m_scenario.items) {
        if (item.line == line) {
            // A line about an instance that it does not name says which, as if it did.
            return (instance.empty() || item.addressed ? "" : instance + ": ") + item.source;
        }
    }
    return std::string();
}

JUnitReport ScenarioJUnit::report(const std::string& suite, const RunTally& tally,
                                  bool strict) const {
    JUnitReport report(suite);
    for (std::size_t i = 0; i < m_expectations.size(); ++i) {
        const ExpectRecord& expect = m_expectations[i];
        const std::size_t more = expect.lines.empty() ? 0 : expect.lines.size() - 1;
        const std::string name =
            expectPlace(expect) + ": " + source(expect.line, expect.instance) +
            (more > 0 ? " and " + std::to_string(more) + " more" : std::string());
        const double seconds = secondsOf(m_expectationSteps[i]);
        if (expect.held) {
            report.pass(name, seconds);
        } else {
            report.fail(name, seconds, "the expectation failed", renderRecord(expect, false));
        }
    }
    for (const ProblemRecord& problem : m_problems) {
        report.fail("line " + std::to_string(problem.line) + ": " +
                        source(problem.line, problem.instance) + " (a problem of the scenario)",
                    0, "a problem of the scenario", renderRecord(problem, false));
    }
    for (const BreachRecord& breach : tally.breaches()) {
        const RuleInfo& rule = ruleInfo(breach.rule);
        if (!tally.expected(breach) && (rule.severity == Severity::Error || strict)) {
            report.fail(stepPlace(breach.line, breach.implicit) + ": " +
                            (breach.instance.empty() ? "" : breach.instance + ": ") + "breach " +
                            rule.id + " " + rule.name,
                        secondsOf(breach.line, breach.implicit), rule.name,
                        renderRecord(breach, false));
        }
    }
    if (tally.summary().notPlayed > 0) {
        report.fail("lines not played", 0, "the component crashed or hung",
                    renderRecord(tally.summary(), false));
    }
    return report;
}
