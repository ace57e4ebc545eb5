// RunTally: the count a run is judged by, kept from its records: steps,
// expectations held and failed, and breaches by severity. A breach that an
// "expect breach" of its step held for is expected and counts for nothing.
// It also knows which step is open (begun, not ended), which is what the
// watchdog reports when the component crashes or hangs.
#pragma once

#include "Rules.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class RunTally {
public:
    explicit RunTally(bool strict = false) : m_strict(strict) {}

    void add(const nlohmann::json& record);

    // The summary record of the run so far.
    nlohmann::json summary() const;
    // 0 when every expectation held and no breach failed the run, 1 otherwise.
    int status() const;

    bool stepOpen() const { return m_open; }
    int stepLine() const { return m_stepLine; }
    // The last command the open step sent; empty when none.
    const std::string& lastCommand() const { return m_lastCommand; }
    bool finished() const { return m_finished; }
    bool fatal() const { return m_fatal; }
    // The first breach of the run that is not expected (rule id, line), if any.
    bool firstBreach(std::string& rule, int& line) const;

private:
    struct Breach {
        int line;
        std::string rule;
        Severity severity;
        bool expected;
    };

    bool m_strict;
    int m_steps = 0;
    int m_held = 0;
    int m_failed = 0;
    std::vector<Breach> m_breaches;
    bool m_open = false;
    int m_stepLine = 0;
    std::string m_lastCommand;
    bool m_finished = false;
    bool m_fatal = false;
};
