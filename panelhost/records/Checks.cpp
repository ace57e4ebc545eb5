#include "records/Checks.h"

#include <cstdio>

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string count(int value) {
    const char* const words[] = {"no", "one", "two", "three", "four"};
    return value >= 0 && value < 5 ? words[value] : std::to_string(value);
}

std::vector<CheckInfo> made() {
    using namespace check_bounds;
    return {
        {Check::ImportsResolve, "VL0", "imports-resolve", Severity::Error,
         "every import of the library resolves: on Windows each imported DLL and function is "
         "found before loading (a static check), natively the loader binds every symbol at once "
         "(RTLD_NOW)"},
        {Check::LoadAndDestroy, "VL1", "load-and-destroy", Severity::Error,
         "the component loads and is destroyed (twice), sends AS last and nothing after, and "
         "leaves no router registered"},
        {Check::EveryEventType, "VL2", "every-event-type", Severity::Error,
         "every event type 1 to 7, the unknown types 0, 8 and -1 and null records for types 2 "
         "and 6 are taken without a breach or a result where none is due, and every control of "
         "every panel the component loads is pressed, without and with an event text"},
        {Check::CommandsAndSettings, "VL3", "commands-and-settings", Severity::Error,
         "the queries _commands and return=all, and every key they list, with ordinary and "
         "hostile values (empty, long, quotes, numbers out of range), are taken without a "
         "breach"},
        {Check::RepliesGivenBack, "VL4", "replies-given-back", Severity::Error,
         "with every command answered, then with every lookup unanswered, replies come back "
         "exactly as the host contract says"},
        {Check::InstancesApart, "VL8", "instances-apart", Severity::Error,
         "a second instance made while the first lives, the two played interleaved with "
         "different values, each does what it does alone, and a third made after both were "
         "destroyed does what the first did"},
        {Check::SlowEvent, "VL5", "slow-event", Severity::Warning,
         "no step of the other checks keeps the host's thread longer than " +
             number(SlowEventMilliseconds) + " ms"},
        {Check::Fuzz, "VL6", "fuzz", Severity::Error,
         "a seeded fuzz run of --seconds (default " + number(FuzzSeconds) + ") finds nothing"},
        {Check::MemoryStaysFlat, "VL7", "memory-stays-flat", Severity::Error,
         "the heap in use and the open handles do not keep growing while one cycle of every "
         "command, press and event is repeated (more than " +
             number(static_cast<double>(LeakBytes) / 1024) + " KiB, or " +
             std::to_string(LeakHandles) + " handles, in each of " + count(LeakRuns) + " runs of " +
             std::to_string(Repetitions) + " repetitions fails)"},
    };
}

} // namespace

const std::vector<CheckInfo>& allChecks() {
    static const std::vector<CheckInfo> checks = made();
    return checks;
}

const CheckInfo& checkInfo(Check check) {
    for (const CheckInfo& info : allChecks()) {
        if (info.check == check) {
            return info;
        }
    }
    return allChecks().front();
}

const CheckInfo* findCheck(const std::string& id) {
    for (const CheckInfo& check : allChecks()) {
        if (id == check.id) {
            return &check;
        }
    }
    return nullptr;
}

std::string slowEventReason() {
    return "a host calls its components one at a time on one thread: a step over " +
           number(check_bounds::SlowEventMilliseconds) +
           " ms stalls every other control of the panel";
}
