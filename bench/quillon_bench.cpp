// quillon_bench: every case of BenchCases as a Google Benchmark, each beside its
// baseline ("<case>/baseline"); scripts/bench.sh turns the pairs into ratios.
#include "bench_cases.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    const BenchCases cases;
    for (const BenchCase& c : cases.all()) {
        const BenchCase* measured = &c;
        benchmark::RegisterBenchmark(c.name.c_str(), [measured](benchmark::State& state) {
            for (auto _ : state) {
                measured->run();
            }
        });
        benchmark::RegisterBenchmark((c.name + "/baseline").c_str(),
                                     [measured](benchmark::State& state) {
                                         for (auto _ : state) {
                                             measured->baseline();
                                         }
                                     });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
