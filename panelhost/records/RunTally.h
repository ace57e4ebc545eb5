// RunTally: the count a run is judged by, kept from its records: steps,
// expectations held and failed, problems of the scenario, and breaches by
// severity. A breach that an "expect breach" record covers is expected and
// counts for nothing; which ones are covered is decided by ExpectedBreaches,
// not here. It also knows which step
// is open (begun, not ended), which is what the watchdog reports when the
// component crashes or hangs.
#pragma once

#include "records/Records.h"

#include <string>
#include <vector>

class RunTally {
public:
    explicit RunTally(bool strict = false) : m_strict(strict) {}

    void add(const Record& record);
    // Lines of the scenario that the run never played (after a crash or a hang).
    void setNotPlayed(int count, int fromLine);
    // The step the run was in, known otherwise than from its records (the step
    // board of a child that crashed).
    void placeStep(int line, long event);

    // The summary record of the run so far.
    SummaryRecord summary() const;
    // 0 when every expectation held and no breach failed the run, 1 otherwise.
    int status() const;

    bool stepOpen() const { return m_open; }
    int stepLine() const { return m_stepLine; }
    // The instance of the open or last step (empty in a run that names none).
    const std::string& stepInstance() const { return m_stepInstance; }
    // Whether that step is an implicit one (StepRecord says where it stands).
    bool stepImplicit() const { return m_stepImplicit; }
    // The generated event of the open or last step (fuzzing); -1 when none.
    long stepEvent() const { return m_stepEvent; }
    // The last command the open step sent; empty when none.
    const std::string& lastCommand() const { return m_lastCommand; }
    bool finished() const { return m_finished; }
    bool fatal() const { return m_fatal; }
    long commandsSent() const { return m_sent; }
    // Every breach of the run so far, in order, and whether each is expected.
    const std::vector<BreachRecord>& breaches() const { return m_breaches; }
    bool expected(const BreachRecord& breach) const;
    // The generated event (fuzzing) of the step in which each breach came, by
    // breach in order; -1 outside fuzzing or after the last event.
    const std::vector<long>& breachEvents() const { return m_breachEvents; }
    // The highest generated event begun so far; -1 when none.
    long lastEvent() const { return m_lastEvent; }
    // The first breach of the run that no expectation covers; null when none.
    const BreachRecord* firstUnexpected() const;
    // The last progress a fuzzing child reported.
    const ProgressRecord& progress() const { return m_progress; }

private:
    bool m_strict;
    int m_steps = 0;
    int m_held = 0;
    int m_failed = 0;
    int m_problems = 0;
    std::vector<BreachRecord> m_breaches;
    std::vector<bool> m_expected; // by breach, in order
    std::vector<long> m_breachEvents;
    long m_lastEvent = -1;
    bool m_open = false;
    int m_stepLine = 0;
    std::string m_stepInstance;
    bool m_stepImplicit = false;
    long m_stepEvent = -1;
    std::string m_lastCommand;
    long m_sent = 0;
    bool m_finished = false;
    bool m_fatal = false;
    int m_notPlayed = 0;
    int m_notPlayedFrom = 0;
    ProgressRecord m_progress;
};
