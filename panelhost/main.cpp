// panelhost: the panel-host simulator and contract validator. It loads a script
// component library for real, plays a scenario (or standard input, or a fuzzed
// event stream) against it in a supervised child process, and reports every
// step, every command with the host's reply, and every breach of the host
// contract. Exit status: 0 all held, 1 a failed expectation or breach, 2 usage
// or loading error.
#include "Fuzzer.h"
#include "Options.h"
#include "Run.h"
#include "Scenario.h"
#include "Watchdog.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    Options options;
    std::string error;
    if (!parseOptions(arguments, options, error)) {
        std::fprintf(stderr, "panelhost: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options.mode == Options::Mode::Help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (!options.childRecords.empty()) {
        exitQuietlyOnCrash();
        return runSession(options, options.childRecords);
    }
    if (options.mode == Options::Mode::Fuzz) {
        return runFuzz(options);
    }
    Scenario scenario;
    if (options.mode == Options::Mode::Run && !loadScenario(options.scenario, scenario, error)) {
        std::fprintf(stderr, "panelhost: %s\n", error.c_str());
        return 2;
    }
    return superviseRun(options, options.mode == Options::Mode::Run ? &scenario : nullptr);
}
