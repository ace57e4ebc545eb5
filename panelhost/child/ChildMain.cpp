#include "child/ChildMain.h"

#include "EscapedException.h"
#include "child/ChildProcess.h"
#include "child/HeapMeter.h"
#include "child/RecordChannel.h"
#include "child/TerminalSession.h"
#include "host/Session.h"
#include "language/Text.h"
#include "records/RunTally.h"

#include <chrono>
#include <csignal>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// The child's records, each step marked on the board as it begins and ends; the
// tally counts what the child's summary says.
class ChildSink : public RecordSink {
public:
    ChildSink(const std::string& records, StepBoard* board, const RuleSelection& selection)
        : m_writer(records), m_board(board), m_selection(selection), m_tally(selection.strict) {}

    void emit(const Record& record) override {
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
    // Whether a breach that fails under the selection has come.
    bool failed() const { return m_failed; }
    int summary() {
        finish();
        const SummaryRecord summary = m_tally.summary();
        write(summary);
        return summary.status;
    }
    int fatal(const std::string& message, const std::string& cause = std::string()) {
        write(FatalRecord{message, 2, cause});
        return 2;
    }

protected:
    // Every record goes to the parent.
    virtual void take(const Record& record) {
        m_tally.add(record);
        m_writer.write(record);
    }
    virtual void finish() {}
    void write(const Record& record) { m_writer.write(record); }
    RunTally& tally() { return m_tally; }
    const RuleSelection& selection() const { return m_selection; }

private:
    RecordWriter m_writer;
    StepBoard* m_board;
    RuleSelection m_selection;
    RunTally m_tally;
    bool m_failed = false;
};

// A fuzzing child's records: the parent needs no record of each step, so it gets
// the breaches that count (each after the record of its step) and, a few times a
// second, the progress; the step under way is on the board. The leak check's
// child keeps no breach at all (the other checks judge them), so that nothing
// of the host's grows while the heap is read.
class FindingsSink : public ChildSink {
public:
    FindingsSink(const std::string& records, StepBoard* board, const RuleSelection& selection,
                 bool breaches = true)
        : ChildSink(records, board, selection), m_breaches(breaches), m_began(Clock::now()),
          m_shown(m_began) {}

private:
    void take(const Record& record) override {
        if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
            m_step = *step;
            m_stepSent = false;
            m_events = step->event >= 0 ? step->event + 1 : m_events;
            ++m_steps;
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
    void finish() override { write(progress()); }
    ProgressRecord progress() const {
        return ProgressRecord{m_events, m_steps, m_sent,
                              std::chrono::duration<double>(Clock::now() - m_began).count()};
    }

    bool m_breaches;
    StepRecord m_step;
    bool m_stepSent = true;
    long m_events = 0;
    long m_steps = 0;
    long m_sent = 0;
    Clock::time_point m_began;
    Clock::time_point m_shown;
};

// The leak check: the first lines, then the cycle repeated, the heap in use
// read after the warm-up and after each further run of repetitions.
void measureLeak(Session& session, const Scenario& first, const Scenario& cycle, RecordSink& sink) {
    const int WarmUp = 10;
    const int Cycles = 25;
    const int Runs = 2;
    for (const Item& item : first.items) {
        session.apply(item);
    }
    heap_meter::arm();
    MemoryRecord memory;
    memory.how = heap_meter::how();
    memory.cycles = Cycles;
    memory.steps = static_cast<int>(cycle.items.size());
    for (int run = -1; run < Runs && session.fatal().empty(); ++run) {
        for (int repeat = 0; repeat < (run < 0 ? WarmUp : Cycles); ++repeat) {
            for (const Item& item : cycle.items) {
                session.apply(item);
            }
        }
        memory.readings.push_back(heap_meter::inUse());
    }
    sink.emit(memory);
}

// The session whose step is salvaged when the component aborts the process (a
// C++ runtime that cannot pass an exception on ends it so, after saying which).
Session* aborting = nullptr;

extern "C" void salvageOnAbort(int) {
    Session* session = aborting;
    aborting = nullptr;
    if (session != nullptr) {
        session->salvage();
    }
    std::signal(SIGABRT, SIG_DFL);
}

// A C++ exception of Microsoft's runtime (a component built by Microsoft's
// compiler) that no one caught: a host built otherwise cannot catch it, but can
// read what was thrown before the process ends. Other crashes are left alone:
// the heap may be broken.
void onUncaught(const void* exceptionRecord) {
    const std::string what = describeMicrosoftException(exceptionRecord);
    Session* session = aborting;
    aborting = nullptr;
    if (session != nullptr && !what.empty()) {
        session->exceptionEscaped(what);
        session->salvage();
    }
}

} // namespace

int runChildJob(const ChildJob& job, const std::string& records, StepBoard* board) {
    const bool plan = job.kind == ChildJob::Kind::Plan;
    std::unique_ptr<ChildSink> sink;
    if (plan && !job.plan.everyRecord) {
        sink.reset(new FindingsSink(records, board, job.plan.selection));
    } else if (job.kind == ChildJob::Kind::Leak) {
        sink.reset(new FindingsSink(records, board, RuleSelection(), false));
    } else {
        sink.reset(new ChildSink(records, board, plan ? job.plan.selection : RuleSelection()));
    }
    Scenario scenario;
    Scenario cycle;
    if (job.kind == ChildJob::Kind::Scenario || job.kind == ChildJob::Kind::Leak) {
        std::vector<ScenarioError> errors;
        if (!parseScenario(job.scenarioText, scenario, errors) ||
            (job.kind == ChildJob::Kind::Leak && !parseScenario(job.cycleText, cycle, errors))) {
            return sink->fatal(describeErrors(job.scenarioName, errors));
        }
    }
    SessionOptions options;
    options.library = job.library;
    options.ui = job.ui;
    options.states = job.states;
    options.scenario = job.kind == ChildJob::Kind::Plan       ? "(generated)"
                       : job.kind == ChildJob::Kind::Terminal ? "(terminal)"
                                                              : job.scenarioName;
    // The leak check keeps no settled reply: the host's memory must not grow.
    options.keep = job.kind == ChildJob::Kind::Leak ? 0 : 4096;
    Session session(options, *sink);
    std::string error;
    if (!session.open(error)) {
        return sink->fatal(error, session.loaderRefused() ? "imports" : "");
    }
    aborting = &session;
    std::signal(SIGABRT, salvageOnAbort);
    sayLastWords(onUncaught);
    switch (job.kind) {
    case ChildJob::Kind::Scenario:
        for (const Item& item : scenario.items) {
            session.apply(item);
        }
        break;
    case ChildJob::Kind::Plan:
        playPlan(job.plan, session, [&] { return sink->failed(); });
        break;
    case ChildJob::Kind::Terminal:
        converse(session, *sink);
        break;
    case ChildJob::Kind::Leak:
        measureLeak(session, scenario, cycle, *sink);
        break;
    }
    session.finish();
    aborting = nullptr;
    if (!session.fatal().empty()) {
        return sink->fatal(session.fatal());
    }
    return sink->summary();
}

int runChildFromFile(const std::string& records, const std::string& jobPath) {
    std::string text;
    std::string error;
    ChildJob job;
    if (!readWholeFile(jobPath, text, error) || !jobFromJson(text, job)) {
        ChildSink sink(records, nullptr, RuleSelection());
        return sink.fatal("cannot read the child's job " + jobPath);
    }
    StepBoard board(job.board);
    return runChildJob(job, records, board.usable() ? &board : nullptr);
}
