// RecordStream: the RecordSink of a run. Each record is counted in the run's
// tally, shown on standard output (as transcript text, as one JSON line, or not
// at all) and, when a records path is given, handed to the watching parent
// through the record channel.
#pragma once

#include "child/RecordChannel.h"
#include "records/RecordSink.h"
#include "records/RunTally.h"

#include <functional>
#include <memory>
#include <string>

enum class OutputFormat { Text, Json, Quiet };

class RecordStream : public RecordSink {
public:
    RecordStream(OutputFormat format, bool verbose, bool strict, const std::string& recordsPath);

    void emit(const Record& record) override;
    // Counts a record that has already been shown elsewhere (by the child).
    void absorb(const Record& record);
    // Sees every record emitted or absorbed from now on (a report being written).
    void observe(std::function<void(const Record&)> observer) { m_observer = std::move(observer); }
    // Emits the summary record; returns the run's exit status.
    int emitSummary();
    // The run cannot be made: one line on standard error, and a fatal record in
    // JSON form and to the parent. Returns 2.
    int emitFatal(const std::string& message);

    RunTally& tally() { return m_tally; }
    const RunTally& tally() const { return m_tally; }

private:
    void show(const Record& record);

    OutputFormat m_format;
    bool m_verbose;
    RunTally m_tally;
    std::unique_ptr<RecordWriter> m_writer;
    std::function<void(const Record&)> m_observer;
};
