#include "child/ChildMain.h"

#include "child/RecordChannel.h"
#include "child/TerminalSession.h"
#include "host/Session.h"
#include "language/Text.h"
#include "records/RunTally.h"

namespace {

// The child's records: counted for its summary, and written to the channel.
class ChannelSink : public RecordSink {
public:
    explicit ChannelSink(const std::string& records) : m_writer(records) {}
    void emit(const Record& record) override {
        m_tally.add(record);
        m_writer.write(record);
    }
    int summary() {
        const SummaryRecord summary = m_tally.summary();
        emit(summary);
        return summary.status;
    }
    int fatal(const std::string& message) {
        emit(FatalRecord{message, 2});
        return 2;
    }

private:
    RecordWriter m_writer;
    RunTally m_tally;
};

} // namespace

int runChildJob(const ChildJob& job, const std::string& records) {
    ChannelSink sink(records);
    Scenario scenario;
    if (job.kind == ChildJob::Kind::Scenario) {
        std::vector<ScenarioError> errors;
        if (!parseScenario(job.scenarioText, scenario, errors)) {
            return sink.fatal(describeErrors(job.scenarioName, errors));
        }
    }
    SessionOptions options;
    options.library = job.library;
    options.ui = job.ui;
    options.states = job.states;
    options.scenario = job.kind == ChildJob::Kind::Plan       ? "(generated)"
                       : job.kind == ChildJob::Kind::Terminal ? "(terminal)"
                                                              : job.scenarioName;
    Session session(options, sink);
    std::string error;
    if (!session.open(error)) {
        return sink.fatal(error);
    }
    switch (job.kind) {
    case ChildJob::Kind::Scenario:
        for (const Item& item : scenario.items) {
            session.apply(item);
        }
        break;
    case ChildJob::Kind::Plan:
        playPlan(job.plan, session);
        break;
    case ChildJob::Kind::Terminal:
        converse(session, sink);
        break;
    }
    session.finish();
    if (!session.fatal().empty()) {
        return sink.fatal(session.fatal());
    }
    return sink.summary();
}

int runChildFromFile(const std::string& records, const std::string& jobPath) {
    std::string text;
    std::string error;
    ChildJob job;
    if (!readWholeFile(jobPath, text, error) || !jobFromJson(text, job)) {
        ChannelSink sink(records);
        return sink.fatal("cannot read the child's job " + jobPath);
    }
    return runChildJob(job, records);
}
