// panelhost: the panel-host simulator and contract validator. It loads a script
// component library for real, plays a scenario (or standard input, or lines
// typed at a terminal, or a fuzzed event stream) against it in a supervised
// child process, and reports every step, every command with the host's reply,
// and every breach of the host contract. Exit status: 0 all held, 1 a failed
// expectation or breach, 2 usage, scenario, loading or output error (never a
// pass).
#include "Rules.h"
#include "TemporaryFiles.h"
#include "child/ChildMain.h"
#include "child/Process.h"
#include "cli/CommandLine.h"
#include "modes/Fuzzer.h"
#include "modes/Live.h"
#include "modes/NewComponent.h"
#include "modes/ScenarioRun.h"
#include "modes/Validate.h"
#include "output/OutputFile.h"
#include "output/RecordStream.h"
#include "records/Checks.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The audit rules and the validation checks, one line each.
int listRules() {
    std::printf("%-5s %-28s %-8s %s\n", "id", "name", "severity", "breached when");
    for (const RuleInfo& rule : allRules()) {
        std::printf("%-5s %-28s %-8s %s\n", rule.id, rule.name, severityName(rule.severity),
                    rule.statement);
    }
    std::printf("\n%-5s %-28s %-8s %s\n", "id", "validation check", "fails as", "holds when");
    for (const CheckInfo& check : allChecks()) {
        std::printf("%-5s %-28s %-8s %s\n", check.id, check.name, severityName(check.severity),
                    check.statement.c_str());
    }
    return 0;
}

int answer(InfoRequest request) {
    switch (request) {
    case InfoRequest::Help:
        std::fputs(helpText().c_str(), stdout);
        return 0;
    case InfoRequest::Version:
        std::printf("panelhost %s, the Quillon panel-host simulator and contract validator\n",
                    QUILLON_VERSION);
        return 0;
    default:
        return listRules();
    }
}

// The files a run will write, checked before anything runs: the first that
// cannot be written is reported, and nothing runs.
struct Output {
    const char* what;
    const std::string& path;
};

// Whether a run can be made: the child's records, what the component writes
// and its configuration live in the temporary folder, so without one nothing
// runs (panelhost's own failure); then the files it will write, as above.
bool outputsWritable(std::initializer_list<Output> outputs, OutputFormat format, int& status) {
    std::string error;
    if (temporaryFolder(error).empty()) {
        status = reportFatal(
            format, "panelhost has no usable temporary folder (" + error + "); nothing was run",
            FatalCause::Own);
        return false;
    }
    for (const Output& output : outputs) {
        std::string reason;
        if (!output.path.empty() && !checkWritable(output.path, reason)) {
            status = reportFatal(format, std::string("cannot write ") + output.what + " to " +
                                             output.path + ": " + reason + "; nothing was run");
            return false;
        }
    }
    return true;
}

const char* const JUnitOutput = "the JUnit report (--junit)";
const char* const PageOutput = "the HTML page (--html)";

struct Dispatch {
    int operator()(const RunSettings& settings) const {
        int status = 0;
        const OutputFormat format = settings.json ? OutputFormat::Json : OutputFormat::Text;
        return outputsWritable({{JUnitOutput, settings.junit},
                                {PageOutput, settings.html},
                                {"the recorded scenario (--record)", settings.record}},
                               format, status)
                   ? runScenario(settings)
                   : status;
    }
    int operator()(const TerminalSettings& settings) const {
        int status = 0;
        if (!outputsWritable({}, OutputFormat::Text, status)) {
            return status;
        }
        if (isTerminal(0)) {
            return runTerminal(settings);
        }
        // Input that is not a terminal is a scenario like a file: read whole,
        // every error reported, nothing played unless all of it parses.
        RunSettings run;
        run.target = settings.target;
        run.scenario = "-";
        run.verbose = settings.verbose;
        run.strict = settings.strict;
        return runScenario(run);
    }
    int operator()(const LiveSettings& settings) const {
        int status = 0;
        return outputsWritable({{"the recorded session (--record)", settings.record}},
                               OutputFormat::Text, status)
                   ? runLive(settings)
                   : status;
    }
    int operator()(const ValidateSettings& settings) const {
        int status = 0;
        return outputsWritable({{JUnitOutput, settings.junit}, {PageOutput, settings.html}},
                               settings.json ? OutputFormat::Json : OutputFormat::Text, status)
                   ? runValidate(settings)
                   : status;
    }
    int operator()(const FuzzSettings& settings) const {
        int status = 0;
        return outputsWritable(
                   {{"the replay scenario (--out)", settings.out}, {PageOutput, settings.html}},
                   settings.json ? OutputFormat::Json : OutputFormat::Text, status)
                   ? runFuzz(settings)
                   : status;
    }
    int operator()(const NewSettings& settings) const { return runNew(settings); }
    int operator()(InfoRequest request) const { return answer(request); }
};

// What panelhost printed must have reached standard output: a transcript cut
// short (a full disk, a file-size limit) is panelhost's own failure, whatever
// the run found.
int outputWritten(int status) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
        return status;
    }
    std::fprintf(stderr,
                 "panelhost: its output could not be written whole to standard output (a full "
                 "disk or a file-size limit); the run would have ended with exit %d\n",
                 status);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    useBinaryStandardStreams();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The child that panelhost.exe starts (ChildProcess): the job in a file.
    if (arguments.size() == 3 && arguments[0] == "--child") {
        exitQuietlyOnCrash();
        return runChildFromFile(arguments[1], arguments[2]);
    }
    CommandLine command;
    std::string error;
    if (!parseCommandLine(arguments, command, error)) {
        std::fputs(usageText().c_str(), stderr);
        return reportFatal(command.json ? OutputFormat::Json : OutputFormat::Text, error);
    }
    return outputWritten(std::visit(Dispatch(), command.settings));
}
