#include "engine/LeakCheck.h"

#include "engine/HeapMeter.h"

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
