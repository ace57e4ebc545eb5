// ScenarioJUnit: the JUnit report of a scenario run, made from its records: one
// testcase per expectation, named by its lines as written in the scenario (and
// by its instance, where the line leaves it to the step before), one per
// problem of the scenario, one per breach that fails the run (with its
// instance), and one for lines not played after a crash or hang. Each testcase
// takes the time the component spent in the step it checks.
#pragma once

#include "language/Scenario.h"
#include "output/JUnitReport.h"
#include "records/RunTally.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class ScenarioJUnit {
public:
    explicit ScenarioJUnit(const Scenario& scenario) : m_scenario(scenario) {}

    void see(const Record& record);
    // The report of the run whose tally is `tally`.
    JUnitReport report(const std::string& suite, const RunTally& tally, bool strict) const;

private:
    double secondsOf(int stepLine, bool implicit = false) const;
    std::string source(int line, const std::string& instance) const;

    const Scenario& m_scenario;
    std::vector<ExpectRecord> m_expectations;
    std::vector<ProblemRecord> m_problems;
    std::vector<int> m_expectationSteps; // the step each expectation checks, by its line
    // By the step's line and whether it is implicit (a load before the step).
    std::map<std::pair<int, bool>, double> m_stepSeconds;
    int m_stepLine = 0;
    bool m_stepImplicit = false;
};
