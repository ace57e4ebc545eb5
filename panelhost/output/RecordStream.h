// RecordStream: the records of a run as the parent process takes them, the one
// place where they are shown. Each record is counted in the run's tally, seen by
// the observers (reports being written) and shown on standard output as
// transcript text, as one JSON line, or not at all. The summary is the parent's
// own: it is shown once the run's exit status is known.
#pragma once

#include "records/RecordSink.h"
#include "records/RunTally.h"

#include <functional>
#include <string>
#include <vector>

enum class OutputFormat { Text, Json, Quiet };

class RecordStream : public RecordSink {
public:
    RecordStream(OutputFormat format, bool verbose, bool strict);

    // Counts, observes and shows a record; a fatal record is reported as
    // emitFatal does, and a summary (the child's) is only counted.
    void emit(const Record& record) override;
    // Sees every record from now on (a report being written), after the
    // observers added before it.
    void observe(std::function<void(const Record&)> observer) {
        m_observers.push_back(std::move(observer));
    }
    // Shows the summary of the run with the status it ends with; returns it.
    int emitSummary(int status);
    // The run cannot be made: counted, seen by the observers with its `cause`
    // (FatalCause), and reported as reportFatal does. Returns 2.
    int emitFatal(const std::string& message, const std::string& cause = std::string());

    RunTally& tally() { return m_tally; }
    const RunTally& tally() const { return m_tally; }

private:
    void show(const Record& record);
    void tell(const Record& record) const;

    OutputFormat m_format;
    bool m_verbose;
    RunTally m_tally;
    std::vector<std::function<void(const Record&)>> m_observers;
};

// A run that cannot be made: one line on standard error, and a fatal record in
// JSON form (with its `cause`, FatalCause); nothing for a quiet run. Returns 2.
int reportFatal(OutputFormat format, const std::string& message, const std::string& cause = "");
