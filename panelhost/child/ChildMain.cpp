#include "child/ChildMain.h"

#include "EscapedException.h"
#include "GuardedReplies.h"
#include "child/ChildSinks.h"
#include "child/FedSession.h"
#include "child/HostThread.h"
#include "child/Process.h"
#include "child/TerminalSession.h"
#include "engine/LeakCheck.h"
#include "host/Session.h"
#include "language/ChildAddressing.h"
#include "language/Text.h"
#include "records/RunTally.h"

#include <csignal>
#include <memory>

namespace {

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

// Where a memory fault the child can name is left for the parent.
StepBoard* faultBoard = nullptr;

// The host thread's stack ran out, or a reply was touched where the component
// may not touch it: said on the board, so that the parent names it.
void noteFault(const MemoryFault& fault) {
    StepBoard* board = faultBoard;
    if (board == nullptr) {
        return;
    }
    const int access = static_cast<int>(fault.access);
    if (fault.stackExhausted) {
        board->faulted(StepBoard::Fault::Kind::StackExhausted, access, 0, nullptr);
        return;
    }
    const GuardedReplies::Fault reply = GuardedReplies::describe(fault.address);
    if (reply.misuse != GuardedReplies::Misuse::None) {
        board->faulted(reply.misuse == GuardedReplies::Misuse::PastEnd
                           ? StepBoard::Fault::Kind::ReplyPastEnd
                           : StepBoard::Fault::Kind::ReplyAfterGiveBack,
                       access, static_cast<long long>(reply.length), reply.command);
    }
}

int playJob(const ChildJob& job, const std::string& records, StepBoard* board);

} // namespace

int runChildJob(const ChildJob& job, const std::string& records, StepBoard* board) {
    // Every call into the component runs on a thread like the host's own.
    faultBoard = board;
    int status = 2;
    const bool ran = runOnHostThread(
        static_cast<std::size_t>(job.stack), [&] { status = playJob(job, records, board); },
        noteFault);
    faultBoard = nullptr;
    if (!ran) {
        ChildSink sink(records, board, RuleSelection());
        return sink.fatal("panelhost could not start a thread with a stack of " +
                              std::to_string(job.stack) +
                              " bytes; the run was stopped (panelhost's own failure, not the "
                              "component's)",
                          FatalCause::Own);
    }
    return status;
}

namespace {

int playJob(const ChildJob& job, const std::string& records, StepBoard* board) {
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
    ChildAddressing addressing; // where the scenario leaves it, for lines sent after it
    if (job.kind == ChildJob::Kind::Scenario || job.kind == ChildJob::Kind::Leak ||
        job.kind == ChildJob::Kind::Live) {
        std::vector<ScenarioError> errors;
        if (!parseScenario(job.scenarioText, scenario, errors, job.kind == ChildJob::Kind::Live,
                           &addressing) ||
            (job.kind == ChildJob::Kind::Leak && !parseScenario(job.cycleText, cycle, errors))) {
            return sink->fatal(describeErrors(job.scenarioName, errors));
        }
    }
    SessionOptions options;
    options.library = job.library;
    options.ui = job.ui;
    options.states = job.states;
    options.firstBreach = job.firstBreach;
    options.restart = job.restart;
    options.checkControls = job.checkControls;
    options.scenario = job.kind == ChildJob::Kind::Plan       ? "(generated)"
                       : job.kind == ChildJob::Kind::Terminal ? "(terminal)"
                                                              : job.scenarioName;
    // The leak check keeps no settled reply: the host's memory must not grow.
    if (job.kind == ChildJob::Kind::Leak) {
        options.keep = 0;
    }
    Session session(options, *sink);
    std::string error;
    if (!session.open(error)) {
        return sink->fatal(error, session.loaderRefused() ? FatalCause::Imports
                                  : session.ownFailure()  ? FatalCause::Own
                                                          : "");
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
    case ChildJob::Kind::Live:
        for (const Item& item : scenario.items) {
            session.apply(item);
        }
        playFedLines(session, *sink, job.firstLine, addressing);
        break;
    case ChildJob::Kind::Leak:
        measureLeak(session, scenario, cycle, *sink);
        break;
    }
    session.finish();
    aborting = nullptr;
    if (!session.fatal().empty()) {
        return sink->fatal(session.fatal(), session.ownFailure() ? FatalCause::Own : "");
    }
    return sink->summary();
}

} // namespace

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
