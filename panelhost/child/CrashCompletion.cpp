#include "child/CrashCompletion.h"

#include "child/HostThread.h"
#include "host/ExpectedBreaches.h"

#include <cstdio>

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", value);
    return text;
}

// The step of `scenario` at `stepLine` (its index), or the item count when none.
std::size_t stepIndex(const Scenario& scenario, int stepLine) {
    for (std::size_t i = 0; i < scenario.items.size(); ++i) {
        if (scenario.items[i].line == stepLine &&
            std::holds_alternative<Step>(scenario.items[i].what)) {
            return i;
        }
    }
    return scenario.items.size();
}

// A size as a person reads it: "1 MiB", "768 KiB", "1000 bytes".
std::string sizeText(unsigned long long bytes) {
    if (bytes != 0 && bytes % (1u << 20) == 0) {
        return std::to_string(bytes >> 20) + " MiB";
    }
    if (bytes != 0 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

const char* touched(int access, const char* read, const char* wrote) {
    return access == static_cast<int>(MemoryFault::Access::Read)    ? read
           : access == static_cast<int>(MemoryFault::Access::Write) ? wrote
                                                                    : "touched";
}

// The breach of a child that crashed: what its crash handler named, or the crash.
BreachRecord crashBreach(const ChildEnd& end, int line, long id, const std::string& command) {
    const StepBoard::Fault& fault = end.fault;
    switch (fault.kind) {
    case StepBoard::Fault::Kind::StackExhausted:
        return {line, id, Rule::StackExhausted, command,
                "the step needed more than the " + sizeText(end.stack) +
                    " of stack that the host's thread gives (--stack SIZE for a host known to "
                    "give more); " +
                    end.how};
    case StepBoard::Fault::Kind::ReplyPastEnd:
        return {line, id, Rule::ReplyOverrun, fault.command,
                std::string(touched(fault.access, "read", "wrote")) +
                    " past the NUL that ends the reply (" + std::to_string(fault.length) +
                    " characters): on a host this is the host's memory; " + end.how};
    case StepBoard::Fault::Kind::ReplyAfterGiveBack:
        return {line, id, Rule::ReplyUsedAfterGiveBack, fault.command,
                std::string(touched(fault.access, "read", "wrote")) +
                    " the reply after giving it back: on a host its memory is already reused; " +
                    end.how};
    case StepBoard::Fault::Kind::None:
        break;
    }
    return {line, id, Rule::ComponentCrash, command, end.how + " before the run finished"};
}

} // namespace

void completeCrash(const Scenario* scenario, double timeout, RecordStream& stream,
                   const ChildEnd& end) {
    RunTally& tally = stream.tally();
    // The board knows the step the child was in even when its records did not
    // name it (a fuzzing child sends none per step).
    if (end.step.serial != 0) {
        tally.placeStep(end.step.line, end.step.event);
    }
    const int stepLine = tally.stepLine();
    const bool implicit = tally.stepImplicit();
    const long id = static_cast<long>(tally.breaches().size());
    BreachRecord breach = end.hung
                              ? BreachRecord{stepLine, id, Rule::ComponentHang, tally.lastCommand(),
                                             "the step did not return within " + seconds(timeout)}
                              : crashBreach(end, stepLine, id, tally.lastCommand());
    breach.implicit = implicit;
    breach.instance = tally.stepInstance();
    stream.emit(breach);
    if (scenario == nullptr) {
        return;
    }
    // An implicit step has no expectations of its own, and the step an implicit
    // load came before was never played: the unplayed lines begin with it.
    const std::size_t step = stepIndex(*scenario, stepLine);
    const std::size_t first = implicit ? step : step + 1;
    std::size_t next = first;
    std::vector<const Item*> foreseen;
    for (; !implicit && next < scenario->items.size(); ++next) {
        const Expectation* expectation = std::get_if<Expectation>(&scenario->items[next].what);
        if (expectation == nullptr) {
            break;
        }
        if (expectation->kind == Expectation::Kind::Breach &&
            scenario->items[next].instance == breach.instance) {
            foreseen.push_back(&scenario->items[next]);
        }
    }
    std::vector<BreachRecord> ofStep;
    for (const BreachRecord& each : tally.breaches()) {
        if (each.line == stepLine && each.instance == breach.instance) {
            ofStep.push_back(each);
        }
    }
    for (ExpectRecord& record : matchExpectedBreaches(foreseen, ofStep, stepLine)) {
        record.instance = breach.instance;
        stream.emit(record);
    }
    // Everything from there but the breach lines just checked was never played.
    int notPlayed = 0;
    int from = 0;
    for (std::size_t i = first; i < scenario->items.size(); ++i) {
        const Expectation* expectation = std::get_if<Expectation>(&scenario->items[i].what);
        if (i < next && expectation != nullptr && expectation->kind == Expectation::Kind::Breach &&
            scenario->items[i].instance == breach.instance) {
            continue;
        }
        from = from == 0 ? scenario->items[i].line : from;
        ++notPlayed;
    }
    tally.setNotPlayed(notPlayed, from);
}
