#include "output/RecordStream.h"

#include "language/Text.h"
#include "output/RecordJson.h"
#include "output/Transcript.h"

#include <cstdio>

RecordStream::RecordStream(OutputFormat format, bool verbose, bool strict)
    : m_format(format), m_verbose(verbose), m_tally(strict) {}

void RecordStream::show(const Record& record) {
    if (m_format == OutputFormat::Json) {
        std::fputs((recordToJson(record) + "\n").c_str(), stdout);
    } else if (m_format == OutputFormat::Text) {
        std::fputs(renderRecord(record, m_verbose).c_str(), stdout);
    }
    std::fflush(stdout);
}

void RecordStream::tell(const Record& record) const {
    for (const auto& observer : m_observers) {
        observer(record);
    }
}

void RecordStream::emit(const Record& record) {
    if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
        emitFatal(fatal->message, fatal->cause);
        return;
    }
    m_tally.add(record);
    tell(record);
    if (!std::holds_alternative<SummaryRecord>(record)) {
        show(record);
    }
}

int RecordStream::emitSummary(int status) {
    SummaryRecord summary = m_tally.summary();
    summary.status = status;
    tell(summary);
    show(summary);
    return status;
}

int RecordStream::emitFatal(const std::string& message, const std::string& cause) {
    const FatalRecord record{message, 2, cause};
    m_tally.add(record);
    tell(record);
    return reportFatal(m_format, message);
}

int reportFatal(OutputFormat format, const std::string& message, const std::string& cause) {
    if (format == OutputFormat::Quiet) {
        return 2; // the caller of a quiet run reports what it makes of it
    }
    std::fflush(stdout);
    // A line for each line of the message and one after a last line feed (an
    // empty message is one empty line), every byte outside printable ASCII escaped.
    std::vector<std::string> lines = splitLines(message);
    if (message.empty() || message.back() == '\n') {
        lines.emplace_back();
    }
    std::string shown;
    for (const std::string& line : lines) {
        shown += printable(line) + "\n";
    }
    std::fprintf(stderr, "panelhost: %s", shown.c_str());
    std::fflush(stderr);
    if (format == OutputFormat::Json) {
        std::fputs((recordToJson(FatalRecord{message, 2, cause}) + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 2;
}
