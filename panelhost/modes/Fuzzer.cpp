#include "modes/Fuzzer.h"

#include "Rules.h"
#include "child/Process.h"
#include "child/Supervisor.h"
#include "cli/CommandLine.h"
#include "engine/FuzzGenerator.h"
#include "language/Text.h"
#include "modes/Learning.h"
#include "output/HtmlReport.h"
#include "output/OutputFile.h"
#include "output/RecordStream.h"
#include "output/Transcript.h"
#include "records/CheckSelection.h"

#include <chrono>
#include <cstdio>
#include <map>

using Clock = std::chrono::steady_clock;

namespace {

// How much work shrinking may do: trials, and seconds.
const int MostShrinkTrials = 400;
const double MostShrinkSeconds = 60;

class Shrinker {
public:
    Shrinker(const LibrarySettings& target, Rule rule)
        : m_target(target), m_rule(rule), m_began(Clock::now()) {}

    bool spent() const {
        return m_trials >= MostShrinkTrials ||
               std::chrono::duration<double>(Clock::now() - m_began).count() > MostShrinkSeconds;
    }
    // Whether `plan` still fails with the rule.
    bool shows(const FuzzPlan& plan) {
        ++m_trials;
        const FuzzSummary summary = fuzzQuietly(m_target, plan);
        return summary.found && summary.finding.rule == m_rule;
    }

    // The shortest prefix of events that shows the rule: the finding's own
    // event first, else the shortest prefix whose destruction shows it.
    long prefix(FuzzPlan plan, long findingEvent, long events) {
        if (findingEvent >= 0) {
            plan.events = findingEvent + 1;
            if (shows(plan)) {
                return plan.events;
            }
        }
        long low = 0;
        long high = events;
        while (low < high && !spent()) {
            plan.events = low + (high - low) / 2;
            if (shows(plan)) {
                high = plan.events;
            } else {
                low = plan.events + 1;
            }
        }
        return high;
    }

    // Leaves out every member of `all` that the finding does not need: whole
    // chunks first, then smaller ones, down to single members.
    template <typename T>
    void leaveOut(FuzzPlan& plan, std::set<T> FuzzPlan::*dropped, const std::vector<T>& all) {
        const std::size_t size = all.size();
        for (std::size_t chunk = size / 2 > 0 ? size / 2 : 1; chunk >= 1 && !spent(); chunk /= 2) {
            for (std::size_t begin = 0; begin < size && !spent(); begin += chunk) {
                FuzzPlan candidate = plan;
                bool grows = false;
                for (std::size_t i = begin; i < begin + chunk && i < size; ++i) {
                    grows = (candidate.*dropped).insert(all[i]).second || grows;
                }
                if (grows && shows(candidate)) {
                    plan = candidate;
                }
            }
            if (chunk == 1) {
                break;
            }
        }
    }

private:
    const LibrarySettings& m_target;
    Rule m_rule;
    Clock::time_point m_began;
    int m_trials = 0;
};

FuzzPlan planOf(const FuzzSettings& settings, const ComponentWorld& world) {
    FuzzPlan plan;
    plan.world = world;
    plan.seed = settings.seed;
    plan.events = settings.events;
    plan.seconds = settings.seconds;
    // The command line took only rule ids.
    plan.selection = selectionOf(settings.only, settings.skip, settings.strict).rules;
    return plan;
}

std::string rule(const BreachRecord& breach) {
    return ruleLabel(ruleInfo(breach.rule));
}

std::string what(const BreachRecord& breach) {
    return (breach.command.empty() ? std::string() : printable(breach.command) + ": ") +
           printable(breach.detail);
}

// The page of a fuzz run (--html): the replay of its finding played once more,
// drawn step by step, or the run's verdict alone when it found nothing. False
// when the page cannot be written.
bool writePage(const FuzzSettings& settings, const std::string& replay, const std::string& verdict,
               int status, std::string& reason) {
    HtmlReport html("fuzz", "panelhost fuzz " + settings.target.library);
    html.beginRun("", "seed " + std::to_string(settings.seed), replay);
    if (!replay.empty()) {
        Scenario scenario;
        std::vector<ScenarioError> errors;
        const ChildJob job = scenarioJob(settings.target, "(the replay)", replay, true);
        if (parseScenario(replay, scenario, errors)) {
            RecordStream stream(OutputFormat::Quiet, false, false);
            stream.observe([&html](const Record& record) { html.see(record); });
            supervise(job, settings.target.timeout, &scenario, stream);
        }
    }
    html.judge(status == 0 ? "ok" : "FAIL", verdict, {});
    html.setStatus(status);
    return html.write(settings.html, reason);
}

} // namespace

FuzzSummary fuzzQuietly(const LibrarySettings& target, const FuzzPlan& plan,
                        const std::function<void(long)>& progress) {
    const ChildJob job = planJob(target, plan, false);
    RecordStream stream(OutputFormat::Quiet, false, plan.selection.strict);
    FuzzSummary summary;
    stream.observe([&](const Record& record) {
        if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
            summary.fatalMessage = fatal->message;
            summary.fatalCause = fatal->cause;
        }
    });
    const int status = supervise(job, target.timeout, nullptr, stream, [&] {
        if (progress) {
            progress(stream.tally().lastEvent() + 1);
        }
    });
    const RunTally& tally = stream.tally();
    summary.fatal = status == 2 || tally.fatal();
    summary.events = tally.lastEvent() + 1;
    summary.steps = tally.progress().steps;
    summary.sent = tally.progress().sent;
    summary.seconds = tally.progress().seconds;
    std::map<Rule, bool> warned;
    for (std::size_t i = 0; i < tally.breaches().size(); ++i) {
        const BreachRecord& breach = tally.breaches()[i];
        if (!plan.selection.counts(breach.rule)) {
            continue;
        }
        if (plan.selection.fails(breach.rule)) {
            if (!summary.found) {
                summary.found = true;
                summary.finding = breach;
                summary.findingEvent = tally.breachEvents()[i];
            }
        } else if (!warned[breach.rule]) {
            warned[breach.rule] = true;
            summary.warnings.push_back({breach, tally.breachEvents()[i]});
        }
    }
    return summary;
}

std::vector<Record> replayTraffic(const LibrarySettings& target, const FuzzPlan& plan) {
    ChildJob job = planJob(target, plan, true);
    job.plan.seconds = 0;
    RecordStream stream(OutputFormat::Quiet, false, plan.selection.strict);
    std::vector<Record> step;  // the records of the step under way
    std::vector<Record> shown; // of the steps with a breach that counts
    bool counted = false;
    const auto close = [&] {
        if (counted) {
            shown.insert(shown.end(), step.begin(), step.end());
        }
        step.clear();
        counted = false;
    };
    stream.observe([&](const Record& record) {
        if (std::holds_alternative<StepRecord>(record)) {
            close();
        }
        if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
            counted = counted || plan.selection.counts(breach->rule);
        }
        if (!std::holds_alternative<SummaryRecord>(record) &&
            !std::holds_alternative<PanelRecord>(record)) {
            step.push_back(record);
        }
    });
    supervise(job, target.timeout, nullptr, stream);
    close();
    return shown;
}

int runFuzz(const FuzzSettings& settings) {
    const LibrarySettings& target = settings.target;
    const OutputFormat format = settings.json ? OutputFormat::Json : OutputFormat::Text;
    // The replayed steps are shown with their give-backs.
    RecordStream stream(format, true, settings.strict);
    stream.emit(FuzzRecord{target.library, settings.seed, settings.events, settings.seconds});

    const Learned learned = learnWorld(target);
    if (learned.fatal) {
        return reportFatal(format, learned.message);
    }
    FuzzPlan plan = planOf(settings, learned.world);

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
    const FuzzSummary full = fuzzQuietly(target, plan, progress);
    if (terminal) {
        std::fprintf(stderr, "\r%60s\r", "");
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    if (full.fatal) {
        return reportFatal(format, full.fatalMessage.empty() ? "the fuzz run could not be made"
                                                             : full.fatalMessage);
    }
    for (const FuzzSummary::Warning& warning : full.warnings) {
        stream.emit(FuzzFindingRecord{false, warning.event + 1, 0, warning.breach});
    }
    const FuzzedRecord fuzzed{full.events, full.steps, full.sent,
                              took,        full.found, full.found ? 1 : 0};
    std::string reason;
    if (!full.found) {
        // The page first, so that the summary states the status the run ends with.
        // The page says what the transcript's line says, without its head.
        const std::string line = renderRecord(fuzzed, false);
        const std::size_t from = line.find(": ") + 2;
        if (!settings.html.empty() &&
            !writePage(settings, "", line.substr(from, line.size() - from - 1), 0, reason)) {
            return reportFatal(format, cannotWrite("the HTML page", settings.html, reason));
        }
        stream.emit(fuzzed);
        return 0;
    }

    stream.emit(FuzzFindingRecord{true, full.findingEvent + 1, took, full.finding});
    FuzzPlan found = plan;
    found.seconds = 0;
    found.events = full.findingEvent >= 0 ? full.findingEvent + 1 : full.events;
    for (const Record& record : replayTraffic(target, found)) {
        stream.emit(record);
    }

    // Shrink: the event prefix, then the events and the world facts it does not need.
    Shrinker shrinker(target, full.finding.rule);
    FuzzPlan shrunk = found;
    shrunk.events = shrinker.prefix(found, full.findingEvent, full.events);
    std::vector<long> events;
    for (long event = 0; event < shrunk.events; ++event) {
        events.push_back(event);
    }
    shrinker.leaveOut(shrunk, &FuzzPlan::droppedEvents, events);
    FuzzGenerator generator(shrunk.seed, shrunk.world);
    const std::size_t facts = generator.world().size();
    std::vector<int> indexes;
    for (std::size_t i = 0; i < facts; ++i) {
        indexes.push_back(static_cast<int>(i));
    }
    shrinker.leaveOut(shrunk, &FuzzPlan::droppedFacts, indexes);
    const long kept = shrunk.events - static_cast<long>(shrunk.droppedEvents.size());
    const std::size_t factsKept = facts - shrunk.droppedFacts.size();

    const std::string finding = "finding: " + rule(full.finding) + ": " + what(full.finding);
    RunSettings replay;
    replay.target = target;
    replay.scenario = "FILE";
    // Comments hold only printable text, so that the replay reads back whole.
    ShrunkRecord record;
    record.kept = kept;
    record.events = shrunk.events;
    record.factsKept = static_cast<int>(factsKept);
    record.facts = static_cast<int>(facts);
    record.scenario =
        "# panelhost fuzz replay: seed " + std::to_string(settings.seed) + ", " +
        std::to_string(kept) + " of the first " + std::to_string(shrunk.events) + " events, " +
        std::to_string(factsKept) + " of " + std::to_string(facts) + " world facts\n" + "# " +
        finding + "\n" + "# library: " + printable(target.library) + "\n" +
        "# ui folder: " + printable(target.ui) + "\n" +
        "# replay with: " + commandLine(replay, {"--ui"}) + "\n" + planScenario(shrunk);
    if (!settings.out.empty()) {
        if (!writeWholeFile(settings.out, record.scenario, reason)) {
            stream.emit(record);
            return reportFatal(format, cannotWrite("the replay scenario", settings.out, reason));
        }
        record.file = settings.out;
    }
    stream.emit(record);
    if (!settings.html.empty() && !writePage(settings, record.scenario, finding, 1, reason)) {
        return reportFatal(format, cannotWrite("the HTML page", settings.html, reason));
    }
    stream.emit(fuzzed);
    return 1;
}
