// panelhost_fuzz_rate: panelhost's fuzzing of Quillon measured two ways in one
// run, so that the cost of supervision shows: the same generator and host with
// the same seed, once in this process without supervision ("in-process") and
// once as panelhost fuzz plays it, in a watched child that sends only its
// progress and findings ("supervised"). Each reports events per second.
//   build/bench/bin/panelhost_fuzz_rate [--benchmark_repetitions=N]
#include "engine/FuzzPlan.h"
#include "host/Session.h"
#include "modes/Fuzzer.h"
#include "modes/Learning.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

const long Events = 200000;

// What the fuzzing child's own sink does with the records: counts, and watches
// for a breach that fails.
class Counting : public RecordSink {
public:
    explicit Counting(const RuleSelection& selection) : m_selection(selection) {}
    void emit(const Record& record) override {
        if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
            m_failed = m_failed || m_selection.fails(breach->rule);
        }
    }
    bool failed() const { return m_failed; }

private:
    RuleSelection m_selection;
    bool m_failed = false;
};

LibrarySettings target() {
    LibrarySettings settings;
    settings.library = QUILLON_LIBRARY;
    settings.ui = QUILLON_UI;
    return settings;
}

FuzzPlan plan(const ComponentWorld& world) {
    FuzzPlan out;
    out.seed = 7;
    out.world = world;
    out.events = Events;
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const Learned learned = learnWorld(target());
    if (learned.fatal) {
        std::fprintf(stderr, "panelhost_fuzz_rate: %s\n", learned.message.c_str());
        return 1;
    }
    const FuzzPlan fuzz = plan(learned.world);
    benchmark::RegisterBenchmark("fuzz/in-process",
                                 [&](benchmark::State& state) {
                                     long events = 0;
                                     for (auto _ : state) {
                                         Counting sink(fuzz.selection);
                                         SessionOptions options;
                                         options.library = QUILLON_LIBRARY;
                                         options.ui = QUILLON_UI;
                                         Session session(options, sink);
                                         std::string error;
                                         if (!session.open(error)) {
                                             state.SkipWithError(error.c_str());
                                             return;
                                         }
                                         events +=
                                             playPlan(fuzz, session, [&] { return sink.failed(); });
                                         session.finish();
                                     }
                                     state.counters["events_per_second"] = benchmark::Counter(
                                         static_cast<double>(events), benchmark::Counter::kIsRate);
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        "fuzz/supervised",
        [&](benchmark::State& state) {
            long events = 0;
            for (auto _ : state) {
                const FuzzSummary summary = fuzzQuietly(target(), fuzz);
                if (summary.fatal || summary.found) {
                    state.SkipWithError("the fuzz run did not play to its end");
                    return;
                }
                events += summary.events;
            }
            state.counters["events_per_second"] =
                benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
