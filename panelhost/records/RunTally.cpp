#include "records/RunTally.h"

void RunTally::add(const Record& record) {
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        ++m_steps;
        m_open = true;
        m_stepLine = step->line;
        m_stepInstance = step->instance;
        m_stepImplicit = step->implicit;
        m_stepEvent = step->event;
        m_lastEvent = step->event > m_lastEvent ? step->event : m_lastEvent;
        m_lastCommand.clear();
    } else if (std::holds_alternative<EndRecord>(record)) {
        m_open = false;
    } else if (const SentRecord* sent = std::get_if<SentRecord>(&record)) {
        m_lastCommand = sent->command;
        ++m_sent;
    } else if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
        m_breaches.push_back(*breach);
        m_expected.push_back(false);
        m_breachEvents.push_back(m_stepEvent);
    } else if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
        expect->held ? ++m_held : ++m_failed;
        for (std::size_t i = 0; i < m_breaches.size(); ++i) {
            if (expect->held && expect->covers >= 0 && m_breaches[i].id == expect->covers) {
                m_expected[i] = true;
            }
        }
    } else if (std::holds_alternative<ProblemRecord>(record)) {
        ++m_problems;
    } else if (const ProgressRecord* progress = std::get_if<ProgressRecord>(&record)) {
        m_lastEvent = progress->events - 1 > m_lastEvent ? progress->events - 1 : m_lastEvent;
        m_progress = *progress;
    } else if (std::holds_alternative<SummaryRecord>(record)) {
        m_finished = true;
    } else if (std::holds_alternative<FatalRecord>(record)) {
        m_fatal = true;
    }
}

void RunTally::placeStep(int line, long event) {
    if (line != m_stepLine || event != m_stepEvent) {
        m_lastCommand.clear();
        m_stepImplicit = false;
    }
    m_stepLine = line;
    m_stepEvent = event;
    m_lastEvent = event > m_lastEvent ? event : m_lastEvent;
}

void RunTally::setNotPlayed(int count, int fromLine) {
    m_notPlayed = count;
    m_notPlayedFrom = fromLine;
}

bool RunTally::expected(const BreachRecord& breach) const {
    for (std::size_t i = 0; i < m_breaches.size(); ++i) {
        if (m_breaches[i].id == breach.id) {
            return m_expected[i];
        }
    }
    return false;
}

const BreachRecord* RunTally::firstUnexpected() const {
    for (std::size_t i = 0; i < m_breaches.size(); ++i) {
        if (!m_expected[i]) {
            return &m_breaches[i];
        }
    }
    return nullptr;
}

SummaryRecord RunTally::summary() const {
    SummaryRecord out;
    out.steps = m_steps;
    out.expectations = m_held + m_failed;
    out.held = m_held;
    out.failed = m_failed;
    for (std::size_t i = 0; i < m_breaches.size(); ++i) {
        if (m_expected[i]) {
            ++out.expectedBreaches;
        } else if (ruleInfo(m_breaches[i].rule).severity == Severity::Error) {
            ++out.errors;
        } else {
            ++out.warnings;
        }
    }
    out.notPlayed = m_notPlayed;
    out.notPlayedFrom = m_notPlayedFrom;
    out.problems = m_problems;
    out.status = status();
    return out;
}

int RunTally::status() const {
    // Lines never played are checks that never happened; a line that names what
    // the world does not have cannot check what it says.
    if (m_failed > 0 || m_notPlayed > 0 || m_problems > 0) {
        return 1;
    }
    for (std::size_t i = 0; i < m_breaches.size(); ++i) {
        const Severity severity = ruleInfo(m_breaches[i].rule).severity;
        if (!m_expected[i] && (severity == Severity::Error || m_strict)) {
            return 1;
        }
    }
    return 0;
}
