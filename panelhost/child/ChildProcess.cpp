#include "child/ChildProcess.h"

#include "TemporaryFiles.h"
#include "child/RecordChannel.h"

#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// Watches the step board and says when one step has stayed open too long.
class StepClock {
public:
    StepClock(const StepBoard& board, double limit) : m_board(board), m_limit(limit) {}
    bool expired() {
        const StepBoard::Step step = m_board.read();
        const Clock::time_point now = Clock::now();
        if (!step.open || step.serial != m_serial) {
            m_serial = step.serial;
            m_since = now;
            return false;
        }
        return std::chrono::duration<double>(now - m_since).count() > m_limit;
    }

private:
    const StepBoard& m_board;
    double m_limit;
    std::int32_t m_serial = -1;
    Clock::time_point m_since = Clock::now();
};

} // namespace

ChildEnd runChild(const ChildJob& job, double stepTimeout,
                  const std::function<void(const Record&)>& onRecord,
                  const std::function<void()>& onTick,
                  const std::function<void(ChildInput&)>& feed) {
    ChildEnd result;
    std::string unusable;
    const std::string folder = temporaryFolder(unusable);
    if (folder.empty()) {
        result.started = false;
        result.how = "panelhost has no usable temporary folder (" + unusable + ")";
        return result;
    }
    const std::string records = freshName(folder, "panelhost-records");
    RecordReader reader(records);
    StepBoard board;
    StepClock clock(board, stepTimeout);
    const auto take = [&](const Record& record) { onRecord(record); };
    RunningChild child;
    if (!child.start(job, records, board, result.how)) {
        result.started = false;
        return result;
    }
    for (;;) {
        const bool ended = child.waitBriefly();
        reader.poll(take);
        if (onTick) {
            onTick();
        }
        if (feed && !ended) {
            feed(child);
            child.flushInput();
        }
        if (ended) {
            break;
        }
        if (clock.expired()) {
            child.kill();
            reader.poll(take);
            result.hung = true;
            break;
        }
    }
    result.exitCode = child.exitCode();
    result.how = child.how();
    result.step = board.read();
    result.fault = board.fault();
    result.stack = job.stack;
    if (const int error = board.channelError()) {
        result.ownFailure = "cannot write the child's records to " + records + ": " +
                            (error > 0 ? std::strerror(error) : "an unknown error") +
                            "; the run was stopped (panelhost's own failure, not the component's)";
    }
    return result;
}
