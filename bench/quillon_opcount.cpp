// quillon_opcount: runs one case of BenchCases a given number of times, for
// counting instructions under callgrind. Everything but the loop (start-up, the
// cases' set-up, one warm-up call that binds the library's symbols) is the same
// for every count, so the instructions of N runs minus those of 0 runs, divided by
// N, are the instructions of one operation.
//
//   quillon_opcount CASE ITERATIONS [baseline]
//   quillon_opcount --list
#include "bench_cases.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const BenchCases cases;
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const BenchCase& c : cases.all()) {
            std::printf("%s\n", c.name.c_str());
        }
        return 0;
    }
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "baseline") != 0)) {
        std::fprintf(stderr, "usage: %s CASE ITERATIONS [baseline] | --list\n", argv[0]);
        return 2;
    }
    const BenchCase* c = cases.find(argv[1]);
    if (c == nullptr) {
        std::fprintf(stderr, "no case %s\n", argv[1]);
        return 2;
    }
    const long iterations = std::atol(argv[2]);
    const auto& operation = argc == 4 ? c->baseline : c->run;
    // A warm-up pair, so that both runs of a case that alternates between two
    // texts start from the same state and every lazy binding is done.
    operation();
    operation();
    for (long i = 0; i < iterations; ++i) {
        operation();
    }
    return 0;
}
