#include "modes/Validate.h"

#include "Rules.h"
#include "child/Supervisor.h"
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;
using world_script::join;

const std::vector<CheckInfo> checks = {
    {"VL0", "imports-resolve", "error",
     "every import of the library resolves: on Windows each imported DLL and function is "
     "found before loading (a static check), natively the loader binds every symbol at once "
     "(RTLD_NOW)"},
    {"VL1", "load-and-destroy", "error",
     "the component loads and is destroyed (twice), sends AS last and nothing after, and "
     "leaves no router registered"},
    {"VL2", "every-event-type", "error",
     "every event type 1 to 7, the unknown types 0, 8 and -1 and null records for types 2 "
     "and 6 are taken without a breach or a result where none is due, and every control of "
     "every panel the component loads is pressed, without and with an event text"},
    {"VL3", "commands-and-settings", "error",
     "the queries _commands and return=all, and every key they list, with ordinary and "
     "hostile values (empty, long, quotes, numbers out of range), are taken without a breach"},
    {"VL4", "replies-given-back", "error",
     "with every command answered, then with every lookup unanswered, replies come back "
     "exactly as the host contract says"},
    {"VL5", "slow-event", "warning",
     "no step of the other checks keeps the host's thread longer than 50 ms"},
    {"VL6", "fuzz", "error", "a seeded fuzz run of --seconds (default 10) finds nothing"},
    {"VL7", "memory-stays-flat", "error",
     "the heap in use does not keep growing while one cycle of every command, press and "
     "event is repeated (more than 2 KiB in each of two runs of 25 repetitions fails)"},
};

// The leak check's bound: growth in each run of repetitions that fails it.
const long long LeakBound = 2048;

// What one check found.
struct Verdict {
    enum class Outcome { Held, Warned, Failed, Skipped } outcome = Outcome::Held;
    std::vector<std::string> lines; // what to show under the check's line
    std::string summary;            // after the check's name on its line
};

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

    // Plays `job` in a supervised child; the verdict of its breaches and expectations.
    Verdict play(const std::string& check, ChildJob job,
                 const std::function<void(const Record&)>& also = nullptr) {
        Verdict verdict;
        Scenario scenario;
        std::vector<ScenarioError> errors;
        if (!parseScenario(job.scenarioText, scenario, errors)) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back("panelhost made a scenario it cannot read: " +
                                    errors.front().where());
            return verdict;
        }
        job.library = m_settings.target.library;
        job.ui = m_settings.target.ui;
        job.scenarioName = "(" + check + ")";
        // The page draws the panels after each step of a scenario.
        job.states = m_html != nullptr && job.kind == ChildJob::Kind::Scenario;
        std::vector<BreachRecord> breaches;
        std::vector<ExpectRecord> failed;
        std::map<int, std::string> stepText;
        int openLine = 0;
        RecordStream stream(OutputFormat::Quiet, false, m_rules.strict);
        if (m_html != nullptr) {
            m_html->setScenario(job.scenarioText);
            stream.observe([this](const Record& record) { m_html->see(record); });
        }
        stream.observe([&](const Record& record) {
            if (also) {
                also(record);
            }
            if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
                openLine = step->line;
                stepText[step->line] = step->step + (step->text ? " " + *step->text : "");
                if (step->step == "press") {
                    stepText[step->line] =
                        "press " + step->panel + " " + step->control +
                        (step->text && !step->text->empty() ? " " + *step->text : "");
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
                    m_slowest.where = check + ", " + stepText[openLine];
                }
            } else if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
                verdict.outcome = Verdict::Outcome::Failed;
                verdict.lines.push_back(fatal->message);
                noteOwnFailure(fatal->message, fatal->cause);
            }
        });
        supervise(job, m_settings.target.timeout,
                  job.kind == ChildJob::Kind::Scenario ? &scenario : nullptr, stream);

        for (const ExpectRecord& expect : failed) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back("line " + std::to_string(expect.line) +
                                    " of the check: expect " + expect.what + " failed");
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
            const std::string where =
                stepText.count(breach.line) > 0 ? stepText[breach.line] : std::string("a step");
            ruleLine(verdict, rule,
                     std::to_string(times[rule]) + (times[rule] == 1 ? " time" : " times") +
                         ", first at " + shortened(where, 0, 50) + ": " +
                         (breach.command.empty() ? std::string()
                                                 : shortened(breach.command, 0, 50) + ": ") +
                         breach.detail);
        }
        const RunTally& tally = stream.tally();
        if (job.kind == ChildJob::Kind::Scenario && tally.summary().notPlayed > 0) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back(std::to_string(tally.summary().notPlayed) +
                                    " lines were not played");
        }
        verdict.summary = std::to_string(tally.summary().steps) + " steps";
        return verdict;
    }

    Verdict play(const std::string& check, const std::string& text) {
        ChildJob job;
        job.kind = ChildJob::Kind::Scenario;
        job.scenarioText = text;
        return play(check, job);
    }

    // Adds the line of a rule broken to `verdict`, failing or warning it as the
    // rule selection says.
    void ruleLine(Verdict& verdict, Rule rule, const std::string& text) const {
        const RuleInfo& info = ruleInfo(rule);
        if (m_rules.fails(rule)) {
            verdict.outcome = Verdict::Outcome::Failed;
        } else if (verdict.outcome == Verdict::Outcome::Held) {
            verdict.outcome = Verdict::Outcome::Warned;
        }
        verdict.lines.push_back(std::string(info.id) + " " + info.name + " (" +
                                severityName(info.severity) + "), " + text);
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

Verdict slowEvent(Battery& battery) {
    Verdict verdict;
    const Slowest& slowest = battery.slowest();
    if (slowest.micros < 0) {
        verdict.outcome = Verdict::Outcome::Skipped;
        verdict.summary = "no other check ran, so no step was timed";
        return verdict;
    }
    char text[160];
    std::snprintf(text, sizeof text, "slowest step %.1f ms (%s)", slowest.micros / 1000.0,
                  shortened(slowest.where, 0, 60).c_str());
    verdict.summary = text;
    if (slowest.micros > SlowEventMilliseconds * 1000) {
        verdict.outcome =
            battery.settings().strict ? Verdict::Outcome::Failed : Verdict::Outcome::Warned;
        verdict.lines.push_back("a host calls its components one at a time on one thread: a "
                                "step over 50 ms stalls every other control of the panel");
    }
    return verdict;
}

std::string idsOption(const char* name, const std::set<std::string>& ids) {
    std::string out;
    for (const std::string& id : ids) {
        out += (out.empty() ? std::string(" ") + name + " " : ",") + id;
    }
    return out;
}

Verdict fuzz(Battery& battery) {
    const ValidateSettings& settings = battery.settings();
    FuzzPlan plan;
    plan.world = battery.world();
    plan.seed = settings.seed;
    plan.events = 100000000;
    plan.seconds = settings.seconds;
    plan.selection = battery.rules();
    const FuzzSummary found = fuzzQuietly(settings.target, plan);
    Verdict verdict;
    if (found.fatal) {
        verdict.outcome = Verdict::Outcome::Failed;
        verdict.lines.push_back(found.fatalMessage);
        battery.noteOwnFailure(found.fatalMessage, found.fatalCause);
        return verdict;
    }
    verdict.summary =
        std::to_string(found.events) + " events, seed " + std::to_string(settings.seed);
    for (const FuzzSummary::Warning& warning : found.warnings) {
        battery.ruleLine(verdict, warning.breach.rule,
                         "first at event " + std::to_string(warning.event + 1) + ": " +
                             warning.breach.detail);
    }
    if (found.found) {
        battery.ruleLine(verdict, found.finding.rule,
                         "at event " + std::to_string(found.findingEvent + 1) + ": " +
                             (found.finding.command.empty()
                                  ? std::string()
                                  : shortened(found.finding.command, 0, 50) + ": ") +
                             found.finding.detail);
        verdict.lines.push_back(
            "replay it: panelhost fuzz " + printable(settings.target.library) + " --seed " +
            std::to_string(settings.seed) + " --events " + std::to_string(found.findingEvent + 1) +
            " --ui " + printable(settings.target.ui) + idsOption("--only", plan.selection.only) +
            idsOption("--skip", plan.selection.skip) + (plan.selection.strict ? " --strict" : "") +
            " --out replay.scenario");
    }
    return verdict;
}

Verdict memoryStaysFlat(Battery& battery) {
    const ComponentWorld& world = battery.world();
    ChildJob job;
    job.kind = ChildJob::Kind::Leak;
    job.scenarioText = loaded(world);
    job.cycleText = join(everything(world));
    MemoryRecord memory;
    Verdict verdict = battery.play("VL7", job, [&](const Record& record) {
        if (const MemoryRecord* measured = std::get_if<MemoryRecord>(&record)) {
            memory = *measured;
        }
    });
    if (memory.readings.size() < 3) {
        if (verdict.outcome != Verdict::Outcome::Failed) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back("the leak check ended before its readings were taken");
        }
        return verdict;
    }
    const long long first = memory.readings[1] - memory.readings[0];
    const long long second = memory.readings[2] - memory.readings[1];
    verdict.summary = "heap " + std::string(first >= 0 ? "+" : "") + std::to_string(first) + ", " +
                      (second >= 0 ? "+" : "") + std::to_string(second) + " bytes in 2 x " +
                      std::to_string(memory.cycles) + " repetitions of " +
                      std::to_string(memory.steps) + " steps";
    verdict.lines.push_back("measured by " + memory.how);
    if (first > LeakBound && second > LeakBound && battery.rules().counts(Rule::MemoryGrows)) {
        battery.ruleLine(verdict, Rule::MemoryGrows,
                         "the heap in use grew by " + std::to_string(first) + " bytes over " +
                             std::to_string(memory.cycles) + " repetitions of the cycle, then by " +
                             std::to_string(second) + " over as many more (bound: " +
                             std::to_string(LeakBound) + " bytes each)");
    }
    if (verdict.outcome == Verdict::Outcome::Held) {
        verdict.lines.clear(); // the measure is in the docs; a held check takes one line
    }
    return verdict;
}

const char* label(Verdict::Outcome outcome) {
    switch (outcome) {
    case Verdict::Outcome::Held:
        return "ok  ";
    case Verdict::Outcome::Warned:
        return "warn";
    case Verdict::Outcome::Failed:
        return "FAIL";
    default:
        return "skip";
    }
}

bool isCheck(const std::string& id) {
    for (const CheckInfo& check : checks) {
        if (id == check.id) {
            return true;
        }
    }
    return false;
}

// Prints one check's line and what it found, and counts it in the reports.
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
    void show(const CheckInfo& check, const Verdict& verdict, double seconds) {
        const std::string name = std::string(check.id) + " " + check.name;
        if (html) {
            const std::string outcome = label(verdict.outcome);
            html->judge(outcome.substr(0, outcome.find(' ')), verdict.summary, verdict.lines);
        }
        char line[256];
        std::snprintf(line, sizeof line, "  %s  %-28s %7.2f s  %s\n", label(verdict.outcome),
                      name.c_str(), seconds, verdict.summary.c_str());
        std::fputs(line, stdout);
        std::string text;
        for (const std::string& each : verdict.lines) {
            std::printf("          %s\n", printable(each).c_str());
            text += each + "\n";
        }
        std::fflush(stdout);
        switch (verdict.outcome) {
        case Verdict::Outcome::Held:
            ++held;
            junit.pass(name, seconds);
            break;
        case Verdict::Outcome::Warned:
            ++warned;
            junit.pass(name, seconds);
            break;
        case Verdict::Outcome::Failed:
            ++failed;
            junit.fail(name, seconds, verdict.lines.empty() ? "failed" : verdict.lines.front(),
                       text);
            break;
        default:
            ++skipped;
            junit.skip(name, verdict.summary);
        }
    }
};

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What was learned of the component's world, in one line.
std::string describeWorld(const ComponentWorld& world) {
    return counted(world.panels.size(), "panel", "panels") + " with " +
           counted(world.controls().size(), "control", "controls") + ", " +
           counted(world.keys.size(), "key", "keys") + " of its own, " +
           counted(world.instances.size(), "instance", "instances") + ", " +
           counted(world.names.size(), "name", "names") + " and " +
           counted(world.routers.size(), "router", "routers") + " asked about";
}

Verdict skipped(const std::string& why) {
    Verdict verdict;
    verdict.outcome = Verdict::Outcome::Skipped;
    verdict.summary = why;
    return verdict;
}

} // namespace

const std::vector<CheckInfo>& validationChecks() {
    return checks;
}

int runValidate(const ValidateSettings& settings) {
    // The ids were checked with the command line: each is a check or a rule.
    std::set<std::string> onlyChecks, skipChecks;
    RuleSelection rules;
    rules.strict = settings.strict;
    for (const auto& list :
         {std::make_pair(&settings.only, true), std::make_pair(&settings.skip, false)}) {
        for (const std::string& id : *list.first) {
            if (isCheck(id)) {
                (list.second ? onlyChecks : skipChecks).insert(id);
            } else if (const RuleInfo* rule = findRule(id)) {
                (list.second ? rules.only : rules.skip).insert(rule->id);
            }
        }
    }
    const auto selected = [&](const std::string& id) {
        return (onlyChecks.empty() || onlyChecks.count(id) > 0) && skipChecks.count(id) == 0;
    };
    const std::string library = printable(settings.target.library);
    std::printf("panelhost validate: %s\n    ui folder: %s\n", library.c_str(),
                printable(settings.target.ui).c_str());
    std::fflush(stdout);

    Report report{JUnitReport("panelhost validate " + settings.target.library), std::nullopt};
    if (!settings.html.empty()) {
        report.html.emplace("validate", "panelhost validate " + settings.target.library);
    }
    const Clock::time_point start = Clock::now();
    const auto finish = [&]() {
        const double total = std::chrono::duration<double>(Clock::now() - start).count();
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
        const bool written = unwritten.empty();
        const int status = !written ? 2 : report.failed > 0 ? 1 : 0;
        std::printf("\nvalidated %s through load_tarn_client_script: %zu checks, %d held (%d "
                    "with warnings), %d failed, %d skipped; seed %llu; %.1f s -> exit %d\n",
                    library.c_str(), checks.size(), report.held + report.warned, report.warned,
                    report.failed, report.skipped, settings.seed, total, status);
        std::fflush(stdout);
        if (!written) {
            return reportFatal(OutputFormat::Text, unwritten);
        }
        return status;
    };

    // VL0 first: whether the library's imports resolve decides whether anything
    // else can run. On Windows it is read from the files; natively the loader
    // of the child that learns the component's world is the check.
    Clock::time_point began = Clock::now();
    ImportsVerdict imports = checkImportsStatically(settings.target.library);
    const double importSeconds = std::chrono::duration<double>(Clock::now() - began).count();
    Learned learned;
    if (!imports.failed) {
        began = Clock::now();
        learned = learnWorld(settings.target);
        if (learned.fatal && !learned.importsRefused) {
            return reportFatal(OutputFormat::Text, learned.message);
        }
        if (learned.fatal) {
            imports = importsRefusedByLoader(learned.message);
        } else {
            std::printf("    its world: %s; learned in %d runs, %.2f s\n",
                        describeWorld(learned.world).c_str(), learned.runs,
                        std::chrono::duration<double>(Clock::now() - began).count());
        }
    }
    if (imports.failed && !selected("VL0")) {
        std::string why = "cannot load " + library + ":";
        for (const std::string& line : imports.lines) {
            why += "\n  " + line;
        }
        return reportFatal(OutputFormat::Text, why);
    }
    {
        Verdict verdict;
        verdict.outcome = !selected("VL0") ? Verdict::Outcome::Skipped
                          : imports.failed ? Verdict::Outcome::Failed
                                           : Verdict::Outcome::Held;
        verdict.summary = selected("VL0") ? imports.summary : "not selected";
        verdict.lines = selected("VL0") ? imports.lines : std::vector<std::string>();
        report.begin(checks[0]);
        report.show(checks[0], verdict, importSeconds);
    }
    Battery battery(settings, rules, learned.world, report.html ? &*report.html : nullptr);
    const std::function<Verdict(Battery&)> bodies[] = {
        loadAndDestroy, everyEventType, commandsAndSettings, repliesGivenBack,
        slowEvent,      fuzz,           memoryStaysFlat};
    for (std::size_t i = 1; i < checks.size(); ++i) {
        const CheckInfo& check = checks[i];
        report.begin(check);
        Verdict verdict;
        double seconds = 0;
        if (imports.failed) {
            verdict = skipped("the library does not load (VL0)");
        } else if (!selected(check.id)) {
            verdict = skipped("not selected");
        } else {
            began = Clock::now();
            verdict = bodies[i - 1](battery);
            seconds = std::chrono::duration<double>(Clock::now() - began).count();
            if (!battery.ownFailure().empty()) {
                return reportFatal(OutputFormat::Text, battery.ownFailure());
            }
        }
        report.show(check, verdict, seconds);
    }
    return finish();
}
