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

int reportFatal(OutputFormat format, const std::string& message) {
    if (format == OutputFormat::Quiet) {
        return 2; // the caller of a quiet run reports what it makes of it
    }
    std::fflush(stdout);
    // One line each, every byte outside printable ASCII escaped.
    std::string shown;
    std::size_t begin = 0;
    for (std::size_t end = message.find('\n'); begin <= message.size();
         end = message.find('\n', begin)) {
        end = end == std::string::npos ? message.size() : end;
        shown += printable(message.substr(begin, end - begin)) + "\n";
        begin = end + 1;
    }
    std::fprintf(stderr, "panelhost: %s", shown.c_str());
    std::fflush(stderr);
    if (format == OutputFormat::Json) {
        std::fputs((recordToJson(FatalRecord{message, 2, ""}) + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 2;
}
