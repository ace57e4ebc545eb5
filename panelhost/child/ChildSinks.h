// The child's sinks: where a child's records go on their way to the parent. A
// ChildSink sends every record through the record channel and marks each step
// on the step board as it begins and ends. A FindingsSink, a fuzzing child's,
// sends no record per step: only the breaches that count (each after the record
// of its step) and, a few times a second, the progress; the leak check's keeps
// no breach at all, so that nothing of the host's grows while the heap is read.
// Both know whether a breach that fails under the job's rule selection has come.
// A record that cannot be written ends the child (status 2) with the error on
// the board: the run is panelhost's failure, not the component's.
#pragma once

#include "child/RecordChannel.h"
#include "child/StepBoard.h"
#include "records/RecordSink.h"
#include "records/RuleSelection.h"
#include "records/RunTally.h"

#include <chrono>
#include <string>

class ChildSink : public RecordSink {
public:
    // `board` may be null.
    ChildSink(const std::string& records, StepBoard* board, const RuleSelection& selection);

    void emit(const Record& record) override;
    // Whether a breach that fails under the selection has come.
    bool failed() const { return m_failed; }
    // Sends the child's summary; its status.
    int summary();
    // Sends a fatal record; 2.
    int fatal(const std::string& message, const std::string& cause = std::string());

protected:
    // What becomes of a record: here every one is counted and sent.
    virtual void take(const Record& record);
    virtual void finish() {}
    // Sends one record. When the channel fails the child cannot tell the parent
    // anything more: it leaves the error on the board and ends at once.
    void write(const Record& record);
    RunTally& tally() { return m_tally; }
    const RuleSelection& selection() const { return m_selection; }

private:
    RecordWriter m_writer;
    StepBoard* m_board;
    RuleSelection m_selection;
    RunTally m_tally;
    bool m_failed = false;
};

class FindingsSink : public ChildSink {
public:
    // `breaches` false: not even the breaches are sent (the leak check).
    FindingsSink(const std::string& records, StepBoard* board, const RuleSelection& selection,
                 bool breaches = true);

private:
    using Clock = std::chrono::steady_clock;

    void take(const Record& record) override;
    void finish() override { write(progress()); }
    ProgressRecord progress() const;

    bool m_breaches;
    StepRecord m_step;
    bool m_stepSent = true;
    long m_events = 0;
    long m_steps = 0;
    long m_sent = 0;
    Clock::time_point m_began;
    Clock::time_point m_shown;
};
