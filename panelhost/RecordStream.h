// RecordStream: the RecordSink of a run. Each record is counted in the run's
// tally, shown on standard output (as transcript text, as one JSON line, or not
// at all) and, when a records file is given, appended to it as one JSON line and
// flushed, for the watchdog that supervises the run from another process.
#pragma once

#include "RecordSink.h"
#include "RunTally.h"

#include <cstdio>
#include <string>

enum class OutputFormat { Text, Json, Quiet };

class RecordStream : public RecordSink {
public:
    RecordStream(OutputFormat format, bool verbose, bool strict, const std::string& recordsFile);
    ~RecordStream() override;
    RecordStream(const RecordStream&) = delete;
    RecordStream& operator=(const RecordStream&) = delete;

    void emit(const nlohmann::json& record) override;
    // Counts a record that has already been shown elsewhere.
    void absorb(const nlohmann::json& record) { m_tally.add(record); }
    // Emits the summary record; returns the run's exit status.
    int emitSummary();
    // A loading error: one line on standard error (and a record in JSON form).
    void emitFatal(const std::string& message);

    const RunTally& tally() const { return m_tally; }

private:
    OutputFormat m_format;
    bool m_verbose;
    RunTally m_tally;
    std::FILE* m_records = nullptr;
};
