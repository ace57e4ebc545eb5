#include "RecordStream.h"

#include "Transcript.h"

RecordStream::RecordStream(OutputFormat format, bool verbose, bool strict,
                           const std::string& recordsFile)
    : m_format(format), m_verbose(verbose), m_tally(strict) {
    if (!recordsFile.empty()) {
        m_records = std::fopen(recordsFile.c_str(), "ab");
    }
}

RecordStream::~RecordStream() {
    if (m_records != nullptr) {
        std::fclose(m_records);
    }
}

void RecordStream::emit(const nlohmann::json& record) {
    m_tally.add(record);
    // Invalid bytes from a component are shown replaced rather than refused.
    const std::string line = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (m_records != nullptr) {
        std::fputs(line.c_str(), m_records);
        std::fputc('\n', m_records);
        std::fflush(m_records);
    }
    if (m_format == OutputFormat::Json) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
    } else if (m_format == OutputFormat::Text) {
        std::fputs(renderRecord(record, m_verbose).c_str(), stdout);
    }
    std::fflush(stdout);
}

int RecordStream::emitSummary() {
    const nlohmann::json summary = m_tally.summary();
    emit(summary);
    return summary.value("status", 1);
}

void RecordStream::emitFatal(const std::string& message) {
    std::fprintf(stderr, "panelhost: %s\n", message.c_str());
    std::fflush(stderr);
    const nlohmann::json record = {{"type", "fatal"}, {"message", message}, {"status", 2}};
    m_tally.add(record);
    if (m_records != nullptr) {
        std::fputs(record.dump().c_str(), m_records);
        std::fputc('\n', m_records);
        std::fflush(m_records);
    }
    if (m_format == OutputFormat::Json) {
        std::puts(record.dump().c_str());
        std::fflush(stdout);
    }
}
