#include "child/Supervisor.h"

#include "child/ChildProcess.h"
#include "child/CrashCompletion.h"

int supervise(const ChildJob& job, double timeout, const Scenario* scenario, RecordStream& stream,
              const std::function<void()>& onTick, const std::function<void(ChildInput&)>& feed) {
    const ChildEnd end = runChild(
        job, timeout, [&](const Record& record) { stream.emit(record); }, onTick, feed);
    if (!end.started) {
        // Nothing of the component ran: the failure is panelhost's own.
        return stream.emitFatal(end.how, FatalCause::Own);
    }
    if (!end.ownFailure.empty()) {
        return stream.emitFatal(end.ownFailure, FatalCause::Own);
    }
    const RunTally& tally = stream.tally();
    if (tally.fatal()) {
        return 2;
    }
    if (tally.finished() && !end.hung) {
        // A status of its own after the summary (a sanitizer's, say) fails the run.
        return end.exitCode == 0 || end.exitCode == 1 ? tally.status() : 1;
    }
    completeCrash(scenario, timeout, stream, end);
    return tally.status();
}
