#include "records/RecordStream.h"

#include "output/Transcript.h"

#include <cstdio>

RecordStream::RecordStream(OutputFormat format, bool verbose, bool strict,
                           const std::string& recordsPath)
    : m_format(format), m_verbose(verbose), m_tally(strict) {
    if (!recordsPath.empty()) {
        m_writer.reset(new RecordWriter(recordsPath));
    }
}

void RecordStream::show(const Record& record) {
    if (m_format == OutputFormat::Json) {
        std::fputs((recordToJson(record) + "\n").c_str(), stdout);
    } else if (m_format == OutputFormat::Text) {
        std::fputs(renderRecord(record, m_verbose).c_str(), stdout);
    }
    std::fflush(stdout);
}

void RecordStream::absorb(const Record& record) {
    m_tally.add(record);
    if (m_observer) {
        m_observer(record);
    }
}

void RecordStream::emit(const Record& record) {
    m_tally.add(record);
    if (m_observer) {
        m_observer(record);
    }
    if (m_writer) {
        m_writer->write(record);
    }
    show(record);
}

int RecordStream::emitSummary() {
    const SummaryRecord summary = m_tally.summary();
    emit(summary);
    return summary.status;
}

int RecordStream::emitFatal(const std::string& message) {
    std::fprintf(stderr, "panelhost: %s\n", message.c_str());
    std::fflush(stderr);
    const FatalRecord record{message, 2};
    m_tally.add(record);
    if (m_writer) {
        m_writer->write(record);
    }
    if (m_format == OutputFormat::Json) {
        show(record);
    }
    return 2;
}
