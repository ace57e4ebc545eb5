#include "engine/LeakCheck.h"

#include "ProcessCounts.h"
#include "engine/HeapMeter.h"
#include "records/Checks.h"

void measureLeak(Session& session, const Scenario& first, const Scenario& cycle, RecordSink& sink) {
    using check_bounds::LeakRuns;
    using check_bounds::Repetitions;
    using check_bounds::WarmUp;
    for (const Item& item : first.items) {
        session.apply(item);
    }
    heap_meter::arm();
    MemoryRecord memory;
    memory.how = heap_meter::how();
    memory.cycles = Repetitions;
    memory.steps = static_cast<int>(cycle.items.size());
    for (int run = -1; run < LeakRuns && session.fatal().empty(); ++run) {
        for (int repeat = 0; repeat < (run < 0 ? WarmUp : Repetitions); ++repeat) {
            for (const Item& item : cycle.items) {
                session.apply(item);
            }
        }
        memory.readings.push_back(heap_meter::inUse());
        memory.handles.push_back(process_counts::openHandles());
    }
    sink.emit(memory);
}
