// ScenarioJUnit: the JUnit report of a scenario run, made from its records: one
// testcase per expectation, named by its line as written in the scenario (and
// by its instance, where the line leaves it to the step before), one per
// breach that fails the run (with its instance), and one for lines not played
// after a crash or hang. Each testcase takes the time the component spent in
// the step it checks.
#pragma once

#include "language/Scenario.h"
#include "output/JUnitReport.h"
#include "records/RunTally.h"

#include <map>
#include <string>
#include <vector>

class ScenarioJUnit {
public:
    explicit ScenarioJUnit(const Scenario& scenario) : m_scenario(scenario) {}

    void see(const Record& record);
    // The report of the run whose tally is `tally`.
    JUnitReport report(const std::string& suite, const RunTally& tally, bool strict) const;

private:
    double secondsOf(int stepLine) const;
    std::string source(int line, const std::string& instance) const;

    const Scenario& m_scenario;
    std::vector<ExpectRecord> m_expectations;
    std::vector<int> m_expectationSteps; // the step each expectation checks, by its line
    std::map<int, double> m_stepSeconds; // by the step's line
    int m_stepLine = 0;
};
