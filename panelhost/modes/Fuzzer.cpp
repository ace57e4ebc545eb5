#include "modes/Fuzzer.h"

#include "Rules.h"
#include "child/ChildProcess.h"
#include "child/Supervisor.h"
#include "language/Text.h"
#include "modes/FuzzGenerator.h"
#include "output/HtmlReport.h"
#include "output/OutputFile.h"
#include "records/RecordStream.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <set>

using Clock = std::chrono::steady_clock;

namespace {

// What the parent learns from one child: the summary, and what only the
// fuzzer's own report and the probe need.
struct Outcome : FuzzSummary {
    long steps = 0;
    long sent = 0;
    std::vector<std::string> replies;
};

Outcome run(const LibrarySettings& target, const FuzzPlan& plan,
            const std::function<void(long)>& progress) {
    ChildJob job;
    job.kind = ChildJob::Kind::Plan;
    job.library = target.library;
    job.ui = target.ui;
    job.plan = plan;
    RecordStream stream(OutputFormat::Quiet, false, false);
    Outcome outcome;
    stream.observe([&](const Record& record) {
        if (const ReplyRecord* reply = std::get_if<ReplyRecord>(&record)) {
            if (reply->text) {
                outcome.replies.push_back(*reply->text);
            }
        } else if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
            outcome.fatalMessage = fatal->message;
        }
    });
    const int status = supervise(job, target.timeout, nullptr, stream, [&] {
        if (progress) {
            progress(stream.tally().lastEvent() + 1);
        }
    });
    const RunTally& tally = stream.tally();
    outcome.fatal = status == 2 || tally.fatal();
    outcome.events = tally.lastEvent() + 1;
    outcome.steps = tally.summary().steps;
    outcome.sent = tally.commandsSent();
    if (!tally.breaches().empty()) {
        outcome.found = true;
        outcome.finding = tally.breaches().front();
        outcome.findingEvent = tally.breachEvents().front();
    }
    return outcome;
}

bool shows(const LibrarySettings& target, FuzzPlan plan, long events, const std::set<int>& dropped,
           Rule rule) {
    plan.events = events;
    plan.dropped = dropped;
    plan.seconds = 0;
    const Outcome outcome = run(target, plan, nullptr);
    return outcome.found && outcome.finding.rule == rule;
}

// The shortest event prefix that still shows `rule`: the finding's own event
// first, else the shortest prefix whose destruction shows it.
long shrinkEvents(const LibrarySettings& target, const FuzzPlan& plan, const Outcome& found) {
    const Rule rule = found.finding.rule;
    if (found.findingEvent >= 0 && shows(target, plan, found.findingEvent + 1, {}, rule)) {
        return found.findingEvent + 1;
    }
    long low = 0;
    long high = found.events;
    while (low < high) {
        const long middle = low + (high - low) / 2;
        if (shows(target, plan, middle, {}, rule)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// Leaves out every world fact that the finding does not need: whole chunks
// first, then smaller ones, down to single facts.
std::set<int> shrinkWorld(const LibrarySettings& target, const FuzzPlan& plan, long events,
                          Rule rule, int worldSize) {
    std::set<int> dropped;
    int trials = 0;
    const int MaxTrials = 200;
    for (int chunk = worldSize / 2 > 0 ? worldSize / 2 : 1; chunk >= 1 && trials < MaxTrials;
         chunk /= 2) {
        for (int begin = 0; begin < worldSize && trials < MaxTrials; begin += chunk) {
            std::set<int> candidate = dropped;
            bool grows = false;
            for (int i = begin; i < begin + chunk && i < worldSize; ++i) {
                grows = candidate.insert(i).second || grows;
            }
            if (!grows) {
                continue;
            }
            ++trials;
            if (shows(target, plan, events, candidate, rule)) {
                dropped = candidate;
            }
        }
    }
    return dropped;
}

// The page of a fuzz run (--html): the replay of its finding played once more,
// drawn step by step, or the run's verdict alone when it found nothing. False
// when the page cannot be written.
bool writePage(const FuzzSettings& settings, const std::string& replay, const std::string& verdict,
               int status) {
    HtmlReport html("fuzz", "panelhost fuzz " + settings.target.library);
    html.beginRun("", "seed " + std::to_string(settings.seed), replay);
    if (!replay.empty()) {
        Scenario scenario;
        std::vector<ScenarioError> errors;
        ChildJob job;
        job.kind = ChildJob::Kind::Scenario;
        job.library = settings.target.library;
        job.ui = settings.target.ui;
        job.scenarioName = "(the replay)";
        job.scenarioText = replay;
        job.states = true;
        if (parseScenario(replay, scenario, errors)) {
            RecordStream stream(OutputFormat::Quiet, false, false);
            stream.observe([&html](const Record& record) { html.see(record); });
            supervise(job, settings.target.timeout, &scenario, stream);
        }
    }
    html.judge(status == 0 ? "ok" : "FAIL", verdict, {});
    html.setStatus(status);
    return html.write(settings.html);
}

} // namespace

bool probeKeys(const LibrarySettings& target, CommandKeys& keys, std::string& error) {
    FuzzPlan plan;
    plan.probe = true;
    const Outcome probe = run(target, plan, nullptr);
    if (probe.fatal) {
        error = probe.fatalMessage.empty() ? "the probe of " + target.library + " failed"
                                           : probe.fatalMessage;
        return false;
    }
    for (const std::string& reply : probe.replies) {
        FuzzGenerator::addKeys(reply, keys);
    }
    return true;
}

FuzzSummary fuzzQuietly(const LibrarySettings& target, unsigned long long seed, double seconds,
                        const CommandKeys& keys) {
    FuzzPlan plan;
    plan.keys = keys;
    plan.keys["instance"]; // the host's own instance table names every destination
    plan.seed = seed;
    plan.events = 100000000;
    plan.seconds = seconds;
    return run(target, plan, nullptr);
}

int runFuzz(const FuzzSettings& settings) {
    const LibrarySettings& target = settings.target;
    std::printf("panelhost fuzz: %s, seed %llu, %s\n", printable(target.library).c_str(),
                settings.seed,
                settings.seconds > 0 ? ("up to " + std::to_string(settings.events) + " events or " +
                                        std::to_string(static_cast<long>(settings.seconds)) + " s")
                                           .c_str()
                                     : (std::to_string(settings.events) + " events").c_str());
    std::fflush(stdout);

    // The component's own keys: its command list and its settings list.
    FuzzPlan plan;
    std::string error;
    if (!probeKeys(target, plan.keys, error)) {
        return reportFatal(OutputFormat::Text, error);
    }
    plan.keys["instance"]; // the host's own instance table names every destination
    plan.seed = settings.seed;
    plan.events = settings.events;
    plan.seconds = settings.seconds;

    const bool terminal = isTerminal(2);
    const Clock::time_point start = Clock::now();
    Clock::time_point shown = start;
    const auto progress = [&](long events) {
        const Clock::time_point now = Clock::now();
        if (!terminal || now - shown < std::chrono::milliseconds(250)) {
            return;
        }
        shown = now;
        std::fprintf(stderr, "\rpanelhost fuzz: %ld events, %.1f s   ", events,
                     std::chrono::duration<double>(now - start).count());
        std::fflush(stderr);
    };
    const Outcome full = run(target, plan, progress);
    if (terminal) {
        std::fprintf(stderr, "\r%60s\r", "");
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    if (full.fatal) {
        return reportFatal(OutputFormat::Text, full.fatalMessage.empty()
                                                   ? "the fuzz run could not be made"
                                                   : full.fatalMessage);
    }
    if (!full.found) {
        char verdict[160];
        std::snprintf(verdict, sizeof verdict,
                      "no findings in %ld events (%ld steps, %ld commands sent) in %.1f s",
                      full.events, full.steps, full.sent, took);
        std::printf("panelhost fuzz: %s\n", verdict);
        if (!settings.html.empty() && !writePage(settings, "", verdict, 0)) {
            return reportFatal(OutputFormat::Text,
                               "cannot write the HTML page to " + settings.html);
        }
        return 0;
    }

    const Rule rule = full.finding.rule;
    const RuleInfo& info = ruleInfo(rule);
    std::printf("panelhost fuzz: finding %s %s (%s) at event %ld, after %.1f s: %s\n", info.id,
                info.name, severityName(info.severity), full.findingEvent + 1, took,
                printable(full.finding.detail).c_str());
    std::fflush(stdout);
    const long count = shrinkEvents(target, plan, full);
    FuzzGenerator generator(plan.seed, plan.keys);
    const std::vector<std::string> world = generator.world();
    const std::set<int> dropped =
        shrinkWorld(target, plan, count, rule, static_cast<int>(world.size()));

    // Comments hold only printable text, so that the replay reads back whole.
    const std::string finding =
        "finding: " + std::string(info.id) + " " + info.name + " (" + severityName(info.severity) +
        "): " + printable(full.finding.command) + (full.finding.command.empty() ? "" : ": ") +
        printable(full.finding.detail);
    std::vector<std::string> replay = {
        "# panelhost fuzz replay: seed " + std::to_string(settings.seed) + ", the first " +
            std::to_string(count) + " events, " + std::to_string(world.size() - dropped.size()) +
            " of " + std::to_string(world.size()) + " world facts",
        "# " + finding, "# library: " + printable(target.library),
        "# ui folder: " + printable(target.ui),
        "# replay with: panelhost " + printable(target.library) + " FILE --ui " +
            printable(target.ui)};
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (dropped.count(static_cast<int>(i)) == 0) {
            replay.push_back(world[i]);
        }
    }
    for (long event = 0; event < count; ++event) {
        for (const std::string& line : generator.event()) {
            replay.push_back(line);
        }
    }
    replay.push_back("destroy");

    std::printf("panelhost fuzz: shrunk to the first %ld events and %zu of %zu world facts\n",
                count, world.size() - dropped.size(), world.size());
    std::printf("--- replay scenario ---\n");
    std::string text;
    for (const std::string& line : replay) {
        text += line + "\n";
    }
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (!settings.out.empty()) {
        if (!writeFile(settings.out, text)) {
            return reportFatal(OutputFormat::Text,
                               "cannot write the replay scenario to " + settings.out);
        }
        std::printf("panelhost fuzz: replay scenario written to %s\n",
                    printable(settings.out).c_str());
    }
    if (!settings.html.empty() && !writePage(settings, text, finding, 1)) {
        return reportFatal(OutputFormat::Text, "cannot write the HTML page to " + settings.html);
    }
    return 1;
}
