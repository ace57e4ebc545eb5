#include "child/ChildSinks.h"

#include <cstdlib>

ChildSink::ChildSink(const std::string& records, StepBoard* board, const RuleSelection& selection)
    : m_writer(records), m_board(board), m_selection(selection), m_tally(selection.strict) {}

void ChildSink::emit(const Record& record) {
    if (m_board != nullptr) {
        if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
            m_board->begin(step->line, step->event);
        } else if (std::holds_alternative<EndRecord>(record)) {
            m_board->end();
        }
    }
    if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
        m_failed = m_failed || m_selection.fails(breach->rule);
    }
    take(record);
}

int ChildSink::summary() {
    finish();
    const SummaryRecord summary = m_tally.summary();
    write(summary);
    return summary.status;
}

int ChildSink::fatal(const std::string& message, const std::string& cause) {
    write(FatalRecord{message, 2, cause});
    return 2;
}

void ChildSink::take(const Record& record) {
    m_tally.add(record);
    write(record);
}

void ChildSink::write(const Record& record) {
    if (m_writer.write(record)) {
        return;
    }
    if (m_board != nullptr) {
        m_board->channelFailed(m_writer.error());
    }
    // No exit handler runs: nothing of the run can be reported from here on.
    std::_Exit(2);
}

FindingsSink::FindingsSink(const std::string& records, StepBoard* board,
                           const RuleSelection& selection, bool breaches)
    : ChildSink(records, board, selection), m_breaches(breaches), m_began(Clock::now()),
      m_shown(m_began) {}

void FindingsSink::take(const Record& record) {
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        m_step = *step;
        m_stepSent = false;
        m_events = step->event >= 0 ? step->event + 1 : m_events;
        ++m_steps;
        // The clock is read every so many steps: it costs more than a quick step.
        if (m_steps % 1024 == 0 && Clock::now() - m_shown > std::chrono::milliseconds(200)) {
            m_shown = Clock::now();
            write(progress());
        }
    } else if (std::holds_alternative<SentRecord>(record)) {
        ++m_sent;
    } else if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
        if (!m_breaches || !selection().counts(breach->rule)) {
            return;
        }
        if (!m_stepSent) {
            tally().add(m_step);
            write(m_step);
            m_stepSent = true;
        }
        tally().add(record);
        write(record);
    } else if (std::holds_alternative<StartRecord>(record) ||
               std::holds_alternative<FatalRecord>(record) ||
               std::holds_alternative<MemoryRecord>(record)) {
        tally().add(record);
        write(record);
    }
}

ProgressRecord FindingsSink::progress() const {
    return ProgressRecord{m_events, m_steps, m_sent,
                          std::chrono::duration<double>(Clock::now() - m_began).count()};
}
