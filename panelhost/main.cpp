// panelhost: the panel-host simulator and contract validator. It loads a script
// component library for real, plays a scenario (or standard input, or a fuzzed
// event stream) against it in a supervised child process, and reports every
// step, every command with the host's reply, and every breach of the host
// contract. Exit status: 0 all held, 1 a failed expectation or breach, 2 usage,
// scenario or loading error (never a pass).
#include "Rules.h"
#include "child/ChildProcess.h"
#include "child/Run.h"
#include "cli/Options.h"
#include "language/Scenario.h"
#include "language/Text.h"
#include "modes/Fuzzer.h"
#include "modes/Validate.h"
#include "records/RecordStream.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Every way the scenario is not in the language, on standard error, and as one
// fatal record in JSON form. Returns 2.
int reportScenarioErrors(const Options& options, const std::string& source,
                         const std::vector<ScenarioError>& errors) {
    std::string message;
    for (const ScenarioError& error : errors) {
        message += (message.empty() ? "" : "\n") +
                   (error.line > 0 ? source + ": " + error.where() : error.where());
    }
    if (errors.size() > 1) {
        message += "\n" + std::to_string(errors.size()) + " errors; nothing was played";
    }
    return reportFatal(options, message);
}

// The audit rules and the validation checks, one line each.
void listRules() {
    std::printf("%-5s %-28s %-8s %s\n", "id", "name", "severity", "breached when");
    for (const RuleInfo& rule : allRules()) {
        std::printf("%-5s %-28s %-8s %s\n", rule.id, rule.name, severityName(rule.severity),
                    rule.statement);
    }
    std::printf("\n%-5s %-28s %-8s %s\n", "id", "validation check", "fails as", "holds when");
    for (const CheckInfo& check : validationChecks()) {
        std::printf("%-5s %-28s %-8s %s\n", check.id, check.name, check.severity, check.statement);
    }
}

// The scenario that a child started by panelhost.exe plays (Windows).
int runChild(const Options& options) {
    if (options.mode == Options::Mode::Interactive) {
        return runSession(options, nullptr, options.childRecords);
    }
    Scenario scenario;
    std::vector<ScenarioError> errors;
    if (!loadScenario(options.scenario, scenario, errors)) {
        RecordStream stream(OutputFormat::Quiet, false, false, options.childRecords);
        return stream.emitFatal(options.scenario + ": " + errors.front().where());
    }
    return runSession(options, &scenario, options.childRecords);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    Options options;
    std::string error;
    if (!parseOptions(arguments, options, error)) {
        options.json = wantsJson(arguments);
        std::fputs(usageText(), stderr);
        return reportFatal(options, error);
    }
    if (options.mode == Options::Mode::Help) {
        std::fputs(usageText(), stdout);
        std::fputs("\n", stdout);
        std::fputs(helpText(), stdout);
        return 0;
    }
    if (options.mode == Options::Mode::Version) {
        std::printf("panelhost %s, the Quillon panel-host simulator and contract validator\n",
                    QUILLON_VERSION);
        return 0;
    }
    if (options.mode == Options::Mode::ListRules) {
        listRules();
        return 0;
    }
    if (!options.childRecords.empty()) {
        exitQuietlyOnCrash();
        return options.childPlan.empty() ? runChild(options) : runFuzzChild(options);
    }
    if (options.mode == Options::Mode::Fuzz) {
        return runFuzz(options);
    }
    if (options.mode == Options::Mode::Validate) {
        return runValidate(options);
    }
    Scenario scenario;
    std::vector<ScenarioError> errors;
    if (options.mode == Options::Mode::Interactive) {
        if (isTerminal(0)) {
            return superviseRun(options, nullptr);
        }
        // Input that is not a terminal is a scenario like a file: read whole,
        // every error reported, nothing played unless all of it parses.
        const std::string text((std::istreambuf_iterator<char>(std::cin)),
                               std::istreambuf_iterator<char>());
        options.scenario = "(standard input)";
        if (!parseScenario(text, scenario, errors)) {
            return reportScenarioErrors(options, options.scenario, errors);
        }
        // The child plays the parsed lines; on Windows it gets them as a file.
        options.mode = Options::Mode::Run;
#if defined(_WIN32)
        options.scenario = temporaryFileName("panelhost-stdin", ".scenario");
        std::FILE* file = std::fopen(options.scenario.c_str(), "wb");
        if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
            return reportScenarioErrors(options, "(standard input)",
                                        {{0, 0, "cannot keep standard input for the child"}});
        }
        std::fclose(file);
        const int status = superviseRun(options, &scenario);
        std::remove(options.scenario.c_str());
        return status;
#else
        return superviseRun(options, &scenario);
#endif
    }
    if (!loadScenario(options.scenario, scenario, errors)) {
        return reportScenarioErrors(options, options.scenario, errors);
    }
    return superviseRun(options, &scenario);
}
