#include "modes/Fuzzer.h"

#include "Rules.h"
#include "child/ChildProcess.h"
#include "child/Run.h"
#include "host/Session.h"
#include "language/Text.h"
#include "modes/FuzzGenerator.h"
#include "records/RecordStream.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using nlohmann::json;
using Clock = std::chrono::steady_clock;

namespace {

using Keys = CommandKeys;

// What one child plays: the probe of the component's own keys, or the world of
// `seed` without the dropped facts and its first `events` events.
struct FuzzPlan {
    bool probe = false;
    unsigned long long seed = 1;
    Keys keys;
    long events = 0;
    double seconds = 0; // 0: no time budget
    bool stopAtFinding = true;
    std::set<int> dropped; // world facts left out, by their index
};

[[maybe_unused]] json planJson(const FuzzPlan& plan) {
    return {{"probe", plan.probe},    {"seed", plan.seed},       {"keys", plan.keys},
            {"events", plan.events},  {"seconds", plan.seconds}, {"stop", plan.stopAtFinding},
            {"dropped", plan.dropped}};
}

bool readPlan(const std::string& path, FuzzPlan& plan) {
    std::string text;
    std::string error;
    if (!readWholeFile(path, text, error)) {
        return false;
    }
    const json in = json::parse(text, nullptr, false);
    if (in.is_discarded()) {
        return false;
    }
    plan.probe = in.value("probe", false);
    plan.seed = in.value("seed", 1ULL);
    plan.keys = in.value("keys", Keys());
    plan.events = in.value("events", 0L);
    plan.seconds = in.value("seconds", 0.0);
    plan.stopAtFinding = in.value("stop", true);
    plan.dropped = in.value("dropped", std::set<int>());
    return true;
}

// Plays the lines of `plan` into `session`, one at a time as they are made.
void play(const FuzzPlan& plan, Session& session) {
    int line = 0;
    const auto apply = [&](const std::string& text, long event) {
        std::optional<Item> item;
        ScenarioError error;
        if (parseScenarioLine(text, ++line, item, error) && item) {
            session.apply(*item, event);
        }
    };
    if (plan.probe) {
        apply("command _commands", -1);
        apply("command return=all", -1);
        return;
    }
    FuzzGenerator generator(plan.seed, plan.keys);
    const std::vector<std::string> world = generator.world();
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (plan.dropped.count(static_cast<int>(i)) == 0) {
            apply(world[i], -1);
        } else {
            ++line;
        }
    }
    const Clock::time_point start = Clock::now();
    for (long event = 0; event < plan.events; ++event) {
        if (plan.seconds > 0 &&
            std::chrono::duration<double>(Clock::now() - start).count() > plan.seconds) {
            break;
        }
        for (const std::string& text : generator.event()) {
            apply(text, event);
        }
        if (plan.stopAtFinding && session.breachCount() > 0) {
            break;
        }
        if (!session.fatal().empty()) {
            break;
        }
    }
}

int playPlan(const Options& options, const FuzzPlan& plan, const std::string& records) {
    RecordStream stream(OutputFormat::Quiet, false, false, records);
    SessionOptions sessionOptions;
    sessionOptions.library = options.library;
    sessionOptions.ui = options.ui;
    sessionOptions.scenario = "(generated)";
    Session session(sessionOptions, stream);
    std::string error;
    if (!session.open(error)) {
        return stream.emitFatal(error);
    }
    play(plan, session);
    session.finish();
    if (!session.fatal().empty()) {
        return stream.emitFatal(session.fatal());
    }
    return stream.emitSummary();
}

// What the parent learns from one child: the summary, and what only the
// fuzzer's own report and the probe need.
struct Outcome : FuzzSummary {
    long steps = 0;
    long sent = 0;
    std::vector<std::string> replies;
};

Outcome run(const Options& options, const FuzzPlan& plan,
            const std::function<void(long)>& progress) {
    Options quiet = options;
    quiet.quiet = true;
    quiet.json = false;
    quiet.mode = Options::Mode::Run;
    std::string planFile;
#if defined(_WIN32)
    planFile = temporaryFileName("panelhost-plan", ".json");
    std::ofstream(planFile, std::ios::binary) << planJson(plan).dump();
#endif
    quiet.childPlan = planFile.empty() ? "-" : planFile;
    RecordStream stream(OutputFormat::Quiet, false, false, "");
    Outcome outcome;
    const int status = superviseChild(
        quiet, nullptr, stream,
        [&](const std::string& records) { return playPlan(options, plan, records); },
        [&](const Record& record) {
            if (const ReplyRecord* reply = std::get_if<ReplyRecord>(&record)) {
                if (reply->text) {
                    outcome.replies.push_back(*reply->text);
                }
            } else if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
                outcome.fatalMessage = fatal->message;
            }
        },
        [&] {
            if (progress) {
                progress(stream.tally().lastEvent() + 1);
            }
        });
    if (!planFile.empty()) {
        std::error_code ignored;
        std::filesystem::remove(planFile, ignored);
    }
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

bool shows(const Options& options, FuzzPlan plan, long events, const std::set<int>& dropped,
           Rule rule) {
    plan.events = events;
    plan.dropped = dropped;
    plan.seconds = 0;
    const Outcome outcome = run(options, plan, nullptr);
    return outcome.found && outcome.finding.rule == rule;
}

// The shortest event prefix that still shows `rule`: the finding's own event
// first, else the shortest prefix whose destruction shows it.
long shrinkEvents(const Options& options, const FuzzPlan& plan, const Outcome& found) {
    const Rule rule = found.finding.rule;
    if (found.findingEvent >= 0 && shows(options, plan, found.findingEvent + 1, {}, rule)) {
        return found.findingEvent + 1;
    }
    long low = 0;
    long high = found.events;
    while (low < high) {
        const long middle = low + (high - low) / 2;
        if (shows(options, plan, middle, {}, rule)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// Leaves out every world fact that the finding does not need: whole chunks
// first, then smaller ones, down to single facts.
std::set<int> shrinkWorld(const Options& options, const FuzzPlan& plan, long events, Rule rule,
                          int worldSize) {
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
            if (shows(options, plan, events, candidate, rule)) {
                dropped = candidate;
            }
        }
    }
    return dropped;
}

// Checks before fuzzing that the replay can be written where --out says.
bool outWritable(const std::string& path, std::string& reason) {
    std::error_code ignored;
    const bool existed = std::filesystem::exists(path, ignored);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        reason = std::filesystem::is_directory(path, ignored) ? "it is a folder"
                                                              : "it cannot be created";
        return false;
    }
    std::fclose(file);
    if (!existed) {
        std::filesystem::remove(path, ignored);
    }
    return true;
}

bool writeReplay(const std::string& path, const std::vector<std::string>& lines) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool fine = true;
    for (const std::string& line : lines) {
        fine = fine && std::fputs((line + "\n").c_str(), file) >= 0;
    }
    return std::fclose(file) == 0 && fine;
}

} // namespace

bool probeKeys(const Options& options, CommandKeys& keys, std::string& error) {
    FuzzPlan plan;
    plan.probe = true;
    const Outcome probe = run(options, plan, nullptr);
    if (probe.fatal) {
        error = probe.fatalMessage.empty() ? "the probe of " + options.library + " failed"
                                           : probe.fatalMessage;
        return false;
    }
    for (const std::string& reply : probe.replies) {
        FuzzGenerator::addKeys(reply, keys);
    }
    return true;
}

FuzzSummary fuzzQuietly(const Options& options, const CommandKeys& keys) {
    FuzzPlan plan;
    plan.keys = keys;
    plan.keys["instance"];
    plan.seed = options.seed;
    plan.events = options.events;
    plan.seconds = options.seconds;
    return run(options, plan, nullptr);
}

int runFuzzChild(const Options& options) {
    FuzzPlan plan;
    if (!readPlan(options.childPlan, plan)) {
        RecordStream stream(OutputFormat::Quiet, false, false, options.childRecords);
        return stream.emitFatal("cannot read the fuzz plan " + options.childPlan);
    }
    return playPlan(options, plan, options.childRecords);
}

int runFuzz(const Options& options) {
    std::string reason;
    if (!options.out.empty() && !outWritable(options.out, reason)) {
        return reportFatal(options,
                           "cannot write the replay scenario to " + options.out + ": " + reason);
    }
    std::printf("panelhost fuzz: %s, seed %llu, %s\n", options.library.c_str(), options.seed,
                options.seconds > 0 ? ("up to " + std::to_string(options.events) + " events or " +
                                       std::to_string(static_cast<long>(options.seconds)) + " s")
                                          .c_str()
                                    : (std::to_string(options.events) + " events").c_str());
    std::fflush(stdout);

    // The component's own keys: its command list and its settings list.
    FuzzPlan plan;
    plan.probe = true;
    const Outcome probe = run(options, plan, nullptr);
    if (probe.fatal) {
        return reportFatal(options, probe.fatalMessage.empty()
                                        ? "the probe of " + options.library + " failed"
                                        : probe.fatalMessage);
    }
    for (const std::string& reply : probe.replies) {
        FuzzGenerator::addKeys(reply, plan.keys);
    }
    plan.keys["instance"]; // the host's own instance table names every destination
    plan.probe = false;
    plan.seed = options.seed;
    plan.events = options.events;
    plan.seconds = options.seconds;

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
    const Outcome full = run(options, plan, progress);
    if (terminal) {
        std::fprintf(stderr, "\r%60s\r", "");
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    if (full.fatal) {
        return reportFatal(options, full.fatalMessage.empty() ? "the fuzz run could not be made"
                                                              : full.fatalMessage);
    }
    if (!full.found) {
        std::printf("panelhost fuzz: no findings in %ld events (%ld steps, %ld commands sent) in "
                    "%.1f s\n",
                    full.events, full.steps, full.sent, took);
        return 0;
    }

    const Rule rule = full.finding.rule;
    const RuleInfo& info = ruleInfo(rule);
    std::printf("panelhost fuzz: finding %s %s (%s) at event %ld, after %.1f s: %s\n", info.id,
                info.name, severityName(info.severity), full.findingEvent + 1, took,
                full.finding.detail.c_str());
    std::fflush(stdout);
    const long count = shrinkEvents(options, plan, full);
    FuzzGenerator generator(plan.seed, plan.keys);
    const std::vector<std::string> world = generator.world();
    const std::set<int> dropped =
        shrinkWorld(options, plan, count, rule, static_cast<int>(world.size()));

    std::vector<std::string> replay = {
        "# panelhost fuzz replay: seed " + std::to_string(options.seed) + ", the first " +
            std::to_string(count) + " events, " + std::to_string(world.size() - dropped.size()) +
            " of " + std::to_string(world.size()) + " world facts",
        "# finding: " + std::string(info.id) + " " + info.name + " (" +
            severityName(info.severity) + "): " + full.finding.command +
            (full.finding.command.empty() ? "" : ": ") + full.finding.detail,
        "# library: " + options.library, "# ui folder: " + options.ui,
        "# replay with: panelhost --ui " + options.ui + " " + options.library + " FILE"};
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
    for (const std::string& text : replay) {
        std::printf("%s\n", text.c_str());
    }
    std::fflush(stdout);
    if (!options.out.empty()) {
        if (!writeReplay(options.out, replay)) {
            return reportFatal(options, "cannot write the replay scenario to " + options.out);
        }
        std::printf("panelhost fuzz: replay scenario written to %s\n", options.out.c_str());
    }
    return 1;
}
