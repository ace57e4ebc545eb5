#include "modes/Validate.h"

#include "Rules.h"
#include "child/Supervisor.h"
#include "cli/CommandLine.h"
#include "engine/InstancePlays.h"
#include "engine/WorldScript.h"
#include "language/Scenario.h"
#include "language/Text.h"
#include "modes/Fuzzer.h"
#include "modes/ImportsVerdict.h"
#include "modes/Learning.h"
#include "output/HtmlReport.h"
#include "output/JUnitReport.h"
#include "output/OutputFile.h"
#include "output/RecordStream.h"
#include "output/Transcript.h"
#include "records/CheckSelection.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;
using world_script::join;

// What one check found: its record, less the time it took.
using Verdict = CheckRecord;
using Outcome = CheckOutcome;

// A finding of the check's own, not a rule's.
void add(Verdict& verdict, const std::string& text) {
    CheckFinding finding;
    finding.message = text;
    verdict.findings.push_back(finding);
}

// The longest step seen, for the slow-event check.
struct Slowest {
    long micros = -1;
    std::string where;
};

class Battery {
public:
    // `html`: the page the checks are drawn on, or null.
    Battery(const ValidateSettings& settings, const RuleSelection& rules, ComponentWorld world,
            HtmlReport* html)
        : m_settings(settings), m_rules(rules), m_world(std::move(world)), m_html(html) {}

    // Plays `job` in a supervised child; the verdict of its breaches and
    // expectations. The page draws it unless `offPage` (a run only compared).
    Verdict play(const std::string& check, const ChildJob& job,
                 const std::function<void(const Record&)>& also = nullptr, bool offPage = false) {
        Verdict verdict;
        Scenario scenario;
        std::vector<ScenarioError> errors;
        if (!parseScenario(job.scenarioText, scenario, errors)) {
            verdict.outcome = Outcome::Failed;
            add(verdict, "panelhost made a scenario it cannot read: " + errors.front().where());
            return verdict;
        }
        std::vector<BreachRecord> breaches;
        std::vector<ExpectRecord> failed;
        std::map<int, std::string> stepText; // the steps the check wrote, by line
        std::string openText;                // the step under way
        RecordStream stream(OutputFormat::Quiet, false, m_rules.strict);
        if (m_html != nullptr && !offPage) {
            m_html->setScenario(job.scenarioText);
            stream.observe([this](const Record& record) { m_html->see(record); });
        }
        stream.observe([&](const Record& record) {
            if (also) {
                also(record);
            }
            if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
                openText = nameOf(step->step) + (step->text ? " " + *step->text : std::string());
                if (step->step == Step::Kind::Press) {
                    openText = "press " + step->panel + " " + step->control +
                               (step->text && !step->text->empty() ? " " + *step->text : "");
                }
                if (!step->instance.empty()) {
                    openText = step->instance + ": " + openText;
                }
                if (step->implicit) {
                    openText = stepPlace(step->line, true);
                } else {
                    stepText[step->line] = openText;
                }
            } else if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
                breaches.push_back(*breach);
            } else if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
                if (!expect->held) {
                    failed.push_back(*expect);
                }
            } else if (const EndRecord* end = std::get_if<EndRecord>(&record)) {
                if (end->micros > m_slowest.micros) {
                    m_slowest.micros = end->micros;
                    m_slowest.where = check + ", " + openText;
                }
            } else if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
                verdict.outcome = Outcome::Failed;
                add(verdict, fatal->message);
                noteOwnFailure(fatal->message, fatal->cause);
            }
        });
        supervise(job, m_settings.target.timeout,
                  job.kind == ChildJob::Kind::Scenario ? &scenario : nullptr, stream);

        for (const ExpectRecord& expect : failed) {
            verdict.outcome = Outcome::Failed;
            add(verdict, "line " + std::to_string(expect.line) + " of the check: expect " +
                             nameOf(expect.what) + " failed");
        }
        // One line per rule broken, with how often and where it came first.
        std::vector<Rule> order;
        std::map<Rule, int> times;
        std::map<Rule, const BreachRecord*> first;
        for (const BreachRecord& breach : breaches) {
            if (stream.tally().expected(breach) || !m_rules.counts(breach.rule)) {
                continue;
            }
            if (times[breach.rule]++ == 0) {
                order.push_back(breach.rule);
                first[breach.rule] = &breach;
            }
        }
        for (Rule rule : order) {
            const BreachRecord& breach = *first[rule];
            CheckFinding finding;
            finding.times = times[rule];
            const std::string who = breach.instance.empty() ? "" : breach.instance + ": ";
            finding.step = breach.implicit                   ? who + stepPlace(breach.line, true)
                           : stepText.count(breach.line) > 0 ? stepText[breach.line]
                                                             : std::string();
            finding.command = breach.command;
            finding.message = breach.detail;
            ruleLine(verdict, rule, finding);
        }
        const RunTally& tally = stream.tally();
        if (job.kind == ChildJob::Kind::Scenario && tally.summary().notPlayed > 0) {
            verdict.outcome = Outcome::Failed;
            add(verdict, std::to_string(tally.summary().notPlayed) + " lines were not played");
        }
        verdict.summary = std::to_string(tally.summary().steps) + " steps";
        return verdict;
    }

    // The page draws the panels after each step of a scenario.
    Verdict play(const std::string& check, const std::string& text) {
        return play(check,
                    scenarioJob(m_settings.target, "(" + check + ")", text, m_html != nullptr));
    }

    // Adds the finding of a rule broken to `verdict`, failing or warning it as
    // the rule selection says.
    void ruleLine(Verdict& verdict, Rule rule, CheckFinding finding) const {
        if (m_rules.fails(rule)) {
            verdict.outcome = Outcome::Failed;
        } else if (verdict.outcome == Outcome::Held) {
            verdict.outcome = Outcome::Warned;
        }
        finding.rule = ruleInfo(rule).id;
        verdict.findings.push_back(std::move(finding));
    }

    // panelhost's own input or output failed in a check: no verdict of it holds.
    void noteOwnFailure(const std::string& message, const std::string& cause) {
        if (cause == FatalCause::Own && m_ownFailure.empty()) {
            m_ownFailure = message;
        }
    }
    const std::string& ownFailure() const { return m_ownFailure; }

    const ComponentWorld& world() const { return m_world; }
    const RuleSelection& rules() const { return m_rules; }
    const Slowest& slowest() const { return m_slowest; }
    const ValidateSettings& settings() const { return m_settings; }
    // Whether a page draws the panels after each step.
    bool drawing() const { return m_html != nullptr; }

private:
    const ValidateSettings& m_settings;
    const RuleSelection& m_rules;
    ComponentWorld m_world;
    HtmlReport* m_html;
    Slowest m_slowest;
    std::string m_ownFailure;
};

// The world facts, then the host's load: what every check begins with.
std::string loaded(const ComponentWorld& world, const std::vector<std::string>& before = {}) {
    std::vector<std::string> lines = world.facts();
    lines.insert(lines.end(), before.begin(), before.end());
    lines.push_back("load");
    return join(lines);
}

Verdict loadAndDestroy(Battery& battery) {
    return battery.play("VL1", "load\ndestroy\n  expect routers none\nload\ndestroy\n"
                               "  expect routers none\n");
}

Verdict everyEventType(Battery& battery) {
    const ComponentWorld& world = battery.world();
    const std::string device = std::to_string(world.devices().front());
    std::string text = loaded(world);
    text += "revertive " + device + " 7 3\n";
    text += join(world_script::presses(world));
    // A press on a control that no panel has.
    const std::string panel = world.panels.empty() ? "1" : world.panels.begin()->first;
    text += "press " + encodeText(panel) + " \"no such control\"\n";
    text += "command none\n"
            "command \"\"\n"
            "timer 3\n";
    text += "dbchange " + device + " 1 7 = \"A new name\"\n";
    text += join(world_script::others(world));
    text += "event 5\n";
    for (int type : {0, 8, -1}) {
        text += "event " + std::to_string(type) + "\n  expect sent none\n";
    }
    for (int type : {1, 2, 6, 7}) {
        text += "event " + std::to_string(type) + "\n";
    }
    Verdict verdict = battery.play("VL2", text + "destroy\n");
    const std::size_t controls = world.controls().size();
    verdict.summary +=
        ", " + std::to_string(controls) + (controls == 1 ? " control" : " controls") + " pressed";
    return verdict;
}

// The values every key gets: its ordinary ones, and the hostile ones.
std::vector<std::string> valuesFor(const ComponentWorld& world, const std::string& key) {
    std::vector<std::string> values = world_script::values(world, key);
    const std::string hostile[] = {"",
                                   std::string(2000, 'x'),
                                   "a'b",
                                   "two words'",
                                   "'",
                                   "99999999999",
                                   "-2147483649",
                                   "-1",
                                   "0",
                                   "1,2"};
    values.insert(values.end(), std::begin(hostile), std::end(hostile));
    return values;
}

Verdict commandsAndSettings(Battery& battery) {
    const ComponentWorld& world = battery.world();
    std::string text = loaded(world) + "command _commands\ncommand return=all\n";
    for (const std::string& key : world_script::keys(world)) {
        for (const std::string& value : valuesFor(world, key)) {
            text += "command " + encodeText(key + "=" + value) + "\n";
        }
    }
    Verdict verdict = battery.play("VL3", text + "destroy\n");
    verdict.summary += world.keys.empty()
                           ? ", the component lists no keys (neither _commands nor return=all)"
                           : ", " + std::to_string(world.keys.size()) +
                                 (world.keys.size() == 1 ? " key" : " keys") + " of its own";
    return verdict;
}

// Everything of the world once: its keys, presses and other events.
std::vector<std::string> everything(const ComponentWorld& world) {
    std::vector<std::string> lines = world_script::commands(world);
    for (const auto& part : {world_script::presses(world), world_script::others(world)}) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    return lines;
}

Verdict repliesGivenBack(Battery& battery) {
    // Every command gets a reply, so a reply that stays the host's and still comes
    // back shows, and every lookup's reply is owed; then lookups get none, so the
    // null give-back of RN is owed.
    const ComponentWorld& world = battery.world();
    const std::vector<std::string> plays = everything(world);
    std::string text = loaded(world, world_script::answerEverything(world)) + join(plays) +
                       join(world_script::answerNoLookup()) + join(plays) + "destroy\n";
    return battery.play("VL4", text);
}

// The instances of one library side by side, as a panel holds them: each must
// do what it does alone (InstancePlays).
Verdict instancesApart(Battery& battery) {
    const InstancePlays plays = instancePlays(battery.world());
    const LibrarySettings& target = battery.settings().target;
    InstanceTraffic alone[2];
    for (int i = 0; i < 2; ++i) {
        const ChildJob job = scenarioJob(target, "(VL8, alone)", plays.alone[i]);
        battery.play(
            "VL8", job, [&](const Record& record) { alone[i].see(record); }, true);
    }
    InstanceTraffic together;
    Verdict verdict =
        battery.play("VL8", scenarioJob(target, "(VL8)", plays.together, battery.drawing()),
                     [&](const Record& record) { together.see(record); });
    const std::pair<const char*, int> compared[] = {
        {InstancePlays::First, 0}, {InstancePlays::Second, 1}, {InstancePlays::Later, 0}};
    for (const auto& each : compared) {
        const std::string who =
            std::string("instance ") + each.first +
            (each.first == InstancePlays::Later ? " (made after the others were destroyed)"
             : each.second == 0 ? " (beside " + std::string(InstancePlays::Second) + ")"
                                : " (beside " + std::string(InstancePlays::First) + ")");
        const std::string difference =
            firstDifference(alone[each.second].of(""), together.of(each.first), who);
        if (!difference.empty()) {
            verdict.outcome = Outcome::Failed;
            add(verdict, difference);
        }
    }
    verdict.summary =
        std::to_string(plays.steps) + " steps each, 2 instances side by side and 1 after";
    return verdict;
}

Verdict slowEvent(Battery& battery) {
    Verdict verdict;
    const Slowest& slowest = battery.slowest();
    if (slowest.micros < 0) {
        verdict.outcome = Outcome::Skipped;
        verdict.summary = "no other check ran, so no step was timed";
        return verdict;
    }
    char text[160];
    std::snprintf(text, sizeof text, "slowest step %.1f ms (%s)", slowest.micros / 1000.0,
                  shortened(slowest.where, 0, 60).c_str());
    verdict.summary = text;
    if (slowest.micros > check_bounds::SlowEventMilliseconds * 1000) {
        verdict.outcome = battery.settings().strict ? Outcome::Failed : Outcome::Warned;
        add(verdict, slowEventReason());
    }
    return verdict;
}

// The fuzz run that replays what the check found at `event`, writing the replay.
std::string replayCommand(const ValidateSettings& settings, const RuleSelection& rules,
                          long event) {
    FuzzSettings replay;
    replay.target = settings.target;
    replay.seed = settings.seed;
    replay.events = event;
    replay.only.assign(rules.only.begin(), rules.only.end());
    replay.skip.assign(rules.skip.begin(), rules.skip.end());
    replay.strict = rules.strict;
    replay.out = "replay.scenario";
    return commandLine(replay,
                       {"--seed", "--events", "--ui", "--only", "--skip", "--strict", "--out"});
}

Verdict fuzz(Battery& battery) {
    const ValidateSettings& settings = battery.settings();
    FuzzPlan plan;
    plan.world = battery.world();
    plan.seed = settings.seed;
    plan.events = MostFuzzEvents; // the time is the limit
    plan.seconds = settings.seconds;
    plan.selection = battery.rules();
    const FuzzSummary found = fuzzQuietly(settings.target, plan);
    Verdict verdict;
    if (found.fatal) {
        verdict.outcome = Outcome::Failed;
        add(verdict, found.fatalMessage);
        battery.noteOwnFailure(found.fatalMessage, found.fatalCause);
        return verdict;
    }
    verdict.summary =
        std::to_string(found.events) + " events, seed " + std::to_string(settings.seed);
    const auto findingOf = [](const BreachRecord& breach, long event) {
        CheckFinding finding;
        finding.event = event + 1;
        finding.command = breach.command;
        finding.message = breach.detail;
        return finding;
    };
    for (const FuzzSummary::Warning& warning : found.warnings) {
        battery.ruleLine(verdict, warning.breach.rule, findingOf(warning.breach, warning.event));
    }
    if (found.found) {
        CheckFinding finding = findingOf(found.finding, found.findingEvent);
        finding.replay = replayCommand(settings, plan.selection, found.findingEvent + 1);
        battery.ruleLine(verdict, found.finding.rule, finding);
    }
    return verdict;
}

Verdict memoryStaysFlat(Battery& battery) {
    const ComponentWorld& world = battery.world();
    const ChildJob job =
        leakJob(battery.settings().target, "(VL7)", loaded(world), join(everything(world)));
    MemoryRecord memory;
    Verdict verdict = battery.play("VL7", job, [&](const Record& record) {
        if (const MemoryRecord* measured = std::get_if<MemoryRecord>(&record)) {
            memory = *measured;
        }
    });
    if (memory.readings.size() < static_cast<std::size_t>(check_bounds::LeakRuns) + 1) {
        if (verdict.outcome != Outcome::Failed) {
            verdict.outcome = Outcome::Failed;
            add(verdict, "the leak check ended before its readings were taken");
        }
        return verdict;
    }
    const auto signedText = [](long long value) {
        return (value >= 0 ? "+" : "") + std::to_string(value);
    };
    const long long first = memory.readings[1] - memory.readings[0];
    const long long second = memory.readings[2] - memory.readings[1];
    // Handles are counted where the platform tells (-1 where it does not).
    const bool counted = memory.handles.size() == memory.readings.size() &&
                         *std::min_element(memory.handles.begin(), memory.handles.end()) >= 0;
    const int firstHandles = counted ? memory.handles[1] - memory.handles[0] : 0;
    const int secondHandles = counted ? memory.handles[2] - memory.handles[1] : 0;
    verdict.summary =
        "heap " + signedText(first) + ", " + signedText(second) + " bytes" +
        (counted ? ", handles " + signedText(firstHandles) + ", " + signedText(secondHandles)
                 : std::string()) +
        " in 2 x " + std::to_string(memory.cycles) + " repetitions of " +
        std::to_string(memory.steps) + " steps";
    add(verdict, "measured by " + memory.how);
    if (first > check_bounds::LeakBytes && second > check_bounds::LeakBytes &&
        battery.rules().counts(Rule::MemoryGrows)) {
        CheckFinding finding;
        finding.message = "the heap in use grew by " + std::to_string(first) + " bytes over " +
                          std::to_string(memory.cycles) + " repetitions of the cycle, then by " +
                          std::to_string(second) +
                          " over as many more (bound: " + std::to_string(check_bounds::LeakBytes) +
                          " bytes each)";
        battery.ruleLine(verdict, Rule::MemoryGrows, finding);
    }
    if (firstHandles > check_bounds::LeakHandles && secondHandles > check_bounds::LeakHandles &&
        battery.rules().counts(Rule::HandlesGrow)) {
        CheckFinding finding;
        finding.message = "the open handles grew by " + std::to_string(firstHandles) + " over " +
                          std::to_string(memory.cycles) + " repetitions of the cycle, then by " +
                          std::to_string(secondHandles) + " over as many more (bound: " +
                          std::to_string(check_bounds::LeakHandles) + " each)";
        battery.ruleLine(verdict, Rule::HandlesGrow, finding);
    }
    if (verdict.outcome == Outcome::Held) {
        verdict.findings.clear(); // the measure is in the docs; a held check takes one line
    }
    return verdict;
}

// Counts the checks and writes each into the reports as its record passes.
struct Report {
    JUnitReport junit;
    std::optional<HtmlReport> html;
    int held = 0, warned = 0, failed = 0, skipped = 0;

    // A check begins: its records go to its own run on the page.
    void begin(const CheckInfo& check) {
        if (html) {
            html->beginRun(check.id, std::string(check.id) + " " + check.name);
        }
    }
    void see(const Record& record) {
        const CheckRecord* verdict = std::get_if<CheckRecord>(&record);
        if (verdict == nullptr) {
            return;
        }
        const CheckInfo& check = checkInfo(verdict->check);
        const std::string name = std::string(check.id) + " " + check.name;
        std::vector<std::string> lines;
        std::string text;
        for (const CheckFinding& finding : verdict->findings) {
            for (const std::string& line : findingLines(finding)) {
                lines.push_back(line);
                text += line + "\n";
            }
        }
        if (html) {
            html->judge(nameOf(verdict->outcome), verdict->summary, lines);
        }
        switch (verdict->outcome) {
        case Outcome::Held:
            ++held;
            junit.pass(name, verdict->seconds);
            break;
        case Outcome::Warned:
            ++warned;
            junit.pass(name, verdict->seconds);
            break;
        case Outcome::Failed:
            ++failed;
            junit.fail(name, verdict->seconds, lines.empty() ? "failed" : lines.front(), text);
            break;
        case Outcome::Skipped:
            ++skipped;
            junit.skip(name, verdict->summary);
        }
    }
};

// What was learned of the component's world.
WorldRecord worldRecord(const Learned& learned, double seconds) {
    const ComponentWorld& world = learned.world;
    WorldRecord out;
    out.panels = static_cast<int>(world.panels.size());
    out.controls = static_cast<int>(world.controls().size());
    out.keys = static_cast<int>(world.keys.size());
    out.instances = static_cast<int>(world.instances.size());
    out.names = static_cast<int>(world.names.size());
    out.routers = static_cast<int>(world.routers.size());
    out.runs = learned.runs;
    out.seconds = seconds;
    return out;
}

Verdict skipped(const std::string& why) {
    Verdict verdict;
    verdict.outcome = Outcome::Skipped;
    verdict.summary = why;
    return verdict;
}

// VL0, judged before the world was learned: whether the library's imports resolve.
Verdict importsResolve(const ImportsVerdict& imports) {
    Verdict verdict;
    verdict.outcome = imports.failed ? Outcome::Failed : Outcome::Held;
    verdict.summary = imports.summary;
    for (const std::string& line : imports.lines) {
        add(verdict, line);
    }
    return verdict;
}

// The body of each check after VL0.
Verdict play(Check check, Battery& battery) {
    switch (check) {
    case Check::ImportsResolve:
        break; // judged before the others can run
    case Check::LoadAndDestroy:
        return loadAndDestroy(battery);
    case Check::EveryEventType:
        return everyEventType(battery);
    case Check::CommandsAndSettings:
        return commandsAndSettings(battery);
    case Check::RepliesGivenBack:
        return repliesGivenBack(battery);
    case Check::InstancesApart:
        return instancesApart(battery);
    case Check::SlowEvent:
        return slowEvent(battery);
    case Check::Fuzz:
        return fuzz(battery);
    case Check::MemoryStaysFlat:
        return memoryStaysFlat(battery);
    }
    return skipped("not a check");
}

double secondsSince(Clock::time_point began) {
    return std::chrono::duration<double>(Clock::now() - began).count();
}

} // namespace

int runValidate(const ValidateSettings& settings) {
    // The ids were checked with the command line: each is a check or a rule.
    const Selection selection = selectionOf(settings.only, settings.skip, settings.strict);
    const bool importsSelected = selection.checks.selected(checkInfo(Check::ImportsResolve));
    const OutputFormat format = settings.json ? OutputFormat::Json : OutputFormat::Text;
    RecordStream stream(format, false, settings.strict);
    Report report{JUnitReport("panelhost validate " + settings.target.library), std::nullopt};
    if (!settings.html.empty()) {
        report.html.emplace("validate", "panelhost validate " + settings.target.library);
    }
    stream.observe([&report](const Record& record) { report.see(record); });
    stream.emit(ValidationRecord{settings.target.library, settings.target.ui});
    const Clock::time_point start = Clock::now();

    // VL0 first: whether the library's imports resolve decides whether anything
    // else can run. On Windows it is read from the files; natively the loader
    // of the child that learns the component's world is the check.
    Clock::time_point began = Clock::now();
    ImportsVerdict imports = checkImportsStatically(settings.target.library);
    const double importSeconds = secondsSince(began);
    Learned learned;
    if (!imports.failed) {
        began = Clock::now();
        learned = learnWorld(settings.target);
        if (learned.fatal && !learned.importsRefused) {
            return reportFatal(format, learned.message);
        }
        if (learned.fatal) {
            imports = importsRefusedByLoader(learned.message);
        } else {
            stream.emit(worldRecord(learned, secondsSince(began)));
        }
    }
    if (imports.failed && !importsSelected) {
        std::string why = "cannot load " + printable(settings.target.library) + ":";
        for (const std::string& line : imports.lines) {
            why += "\n  " + line;
        }
        return reportFatal(format, why);
    }
    Battery battery(settings, selection.rules, learned.world,
                    report.html ? &*report.html : nullptr);
    for (const CheckInfo& check : allChecks()) {
        report.begin(check);
        CheckRecord record;
        double seconds = 0;
        if (check.check == Check::ImportsResolve) {
            record = importsSelected ? importsResolve(imports) : skipped("not selected");
            seconds = importSeconds; // its work was done before the world was learned
        } else if (imports.failed) {
            record = skipped("the library does not load (VL0)");
        } else if (!selection.checks.selected(check)) {
            record = skipped("not selected");
        } else {
            began = Clock::now();
            record = play(check.check, battery);
            seconds = secondsSince(began);
            if (!battery.ownFailure().empty()) {
                return reportFatal(format, battery.ownFailure());
            }
        }
        record.check = check.check;
        record.seconds = seconds;
        stream.emit(record);
    }

    // The reports first, so that the summary states the status the run ends with.
    std::string unwritten;
    std::string reason;
    if (!settings.junit.empty() && !report.junit.write(settings.junit, reason)) {
        unwritten = cannotWrite("the JUnit report", settings.junit, reason);
    } else if (report.html) {
        report.html->setStatus(report.failed > 0 ? 1 : 0);
        if (!report.html->write(settings.html, reason)) {
            unwritten = cannotWrite("the HTML page", settings.html, reason);
        }
    }
    ValidatedRecord validated;
    validated.library = settings.target.library;
    validated.checks = static_cast<int>(allChecks().size());
    validated.held = report.held + report.warned;
    validated.warned = report.warned;
    validated.failed = report.failed;
    validated.skipped = report.skipped;
    validated.seed = settings.seed;
    validated.seconds = secondsSince(start);
    validated.status = !unwritten.empty() ? 2 : report.failed > 0 ? 1 : 0;
    stream.emit(validated);
    return unwritten.empty() ? validated.status : reportFatal(format, unwritten);
}
