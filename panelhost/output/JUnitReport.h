// JUnitReport: a run written as JUnit XML, the report that CI systems read: one
// testsuite, one testcase per validation check or scenario expectation (and per
// breach that fails a scenario run), failures carrying the report text. Texts are
// escaped for XML, and bytes that are not UTF-8 are written as \xNN.
#pragma once

#include <string>
#include <vector>

class JUnitReport {
public:
    explicit JUnitReport(std::string suite) : m_suite(std::move(suite)) {}

    void pass(const std::string& name, double seconds);
    void fail(const std::string& name, double seconds, const std::string& message,
              const std::string& text);
    void skip(const std::string& name, const std::string& reason);

    // False when the file cannot be written.
    // Writes the report whole (OutputFile); false with the reason.
    bool write(const std::string& path, std::string& reason) const;

private:
    struct Case {
        std::string name;
        double seconds = 0;
        enum class Outcome { Passed, Failed, Skipped } outcome = Outcome::Passed;
        std::string message;
        std::string text;
    };

    std::string m_suite;
    std::vector<Case> m_cases;
};
