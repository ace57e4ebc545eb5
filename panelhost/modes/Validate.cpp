#include "modes/Validate.h"

#include "Rules.h"
#include "child/Supervisor.h"
#include "language/Scenario.h"
#include "language/Text.h"
#include "modes/Fuzzer.h"
#include "output/HtmlReport.h"
#include "output/JUnitReport.h"
#include "records/RecordStream.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<CheckInfo> checks = {
    {"VL1", "load-and-destroy", "error",
     "the component loads and is destroyed (twice), sends AS last and nothing after, and "
     "leaves no router registered"},
    {"VL2", "every-event-type", "error",
     "every event type 1 to 7, the unknown types 0, 8 and -1 and null records for types 2 "
     "and 6 are taken without a breach or a result where none is due"},
    {"VL3", "commands-and-settings", "error",
     "every key of the component's _commands and return=all lists takes ordinary and hostile "
     "values (empty, long, quotes, numbers out of range) without a breach"},
    {"VL4", "replies-given-back", "error",
     "with every command answered (and lookups unanswered), replies come back exactly as the "
     "host contract says"},
    {"VL5", "slow-event", "warning",
     "no step of the other checks keeps the host's thread longer than 50 ms"},
    {"VL6", "fuzz", "error", "a seeded fuzz run of --seconds (default 10) finds nothing"},
};

// The world the generated lines play in: a package object, instances that
// resolve, and names for them.
const char* const World = "setting PKG package_levels = 2\n"
                          "setting PKG driver_ids = 0,50,61,62\n"
                          "instance CAM = 20 7\n"
                          "instance FAR = 999 1\n"
                          "name 20 1 7 = Camera 7\n"
                          "name 50 1 7 = 104,-\n";

// What one check found.
struct Verdict {
    enum class Outcome { Held, Warned, Failed, Skipped } outcome = Outcome::Held;
    std::vector<std::string> lines; // what to show under the check's line
    std::string summary;            // after the check's name on its line
};

struct Selection {
    std::set<std::string> onlyChecks, skipChecks, onlyRules, skipRules;

    bool check(const std::string& id) const {
        return (onlyChecks.empty() || onlyChecks.count(id) > 0) && skipChecks.count(id) == 0;
    }
    bool rule(Rule rule) const {
        const std::string id = ruleInfo(rule).id;
        return (onlyRules.empty() || onlyRules.count(id) > 0) && skipRules.count(id) == 0;
    }
};

// The longest step seen, for the slow-event check.
struct Slowest {
    long micros = -1;
    std::string where;
};

class Battery {
public:
    // `keys`: the component's own keys, read when it was first loaded; `html`:
    // the page the checks are drawn on, or null.
    Battery(const ValidateSettings& settings, const Selection& selection, CommandKeys keys,
            HtmlReport* html)
        : m_settings(settings), m_selection(selection), m_keys(std::move(keys)), m_html(html) {}

    // Plays `text` as a scenario; the verdict of its breaches and expectations.
    Verdict play(const std::string& check, const std::string& text) {
        Verdict verdict;
        Scenario scenario;
        std::vector<ScenarioError> errors;
        if (!parseScenario(text, scenario, errors)) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back("panelhost made a scenario it cannot read: " +
                                    errors.front().where());
            return verdict;
        }
        ChildJob job;
        job.kind = ChildJob::Kind::Scenario;
        job.library = m_settings.target.library;
        job.ui = m_settings.target.ui;
        job.scenarioName = "(" + check + ")";
        job.scenarioText = text;
        job.states = m_html != nullptr;
        std::vector<BreachRecord> breaches;
        std::vector<ExpectRecord> failed;
        std::map<int, std::string> stepText;
        int openLine = 0;
        RecordStream stream(OutputFormat::Quiet, false, false);
        if (m_html != nullptr) {
            m_html->setScenario(text);
            stream.observe([this](const Record& record) { m_html->see(record); });
        }
        stream.observe([&](const Record& record) {
            if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
                openLine = step->line;
                stepText[step->line] = step->step + (step->text ? " " + *step->text : "");
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
            }
        });
        supervise(job, m_settings.target.timeout, &scenario, stream);

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
            if (stream.tally().expected(breach) || !m_selection.rule(breach.rule)) {
                continue;
            }
            if (times[breach.rule]++ == 0) {
                order.push_back(breach.rule);
                first[breach.rule] = &breach;
            }
        }
        for (Rule rule : order) {
            const RuleInfo& info = ruleInfo(rule);
            const bool error = info.severity == Severity::Error || m_settings.strict;
            if (error) {
                verdict.outcome = Verdict::Outcome::Failed;
            } else if (verdict.outcome == Verdict::Outcome::Held) {
                verdict.outcome = Verdict::Outcome::Warned;
            }
            const BreachRecord& breach = *first[rule];
            verdict.lines.push_back(
                std::string(info.id) + " " + info.name + " (" + severityName(info.severity) +
                "), " + std::to_string(times[rule]) + (times[rule] == 1 ? " time" : " times") +
                ", first at " + shortened(stepText[breach.line], 0, 50) + ": " +
                (breach.command.empty() ? std::string() : shortened(breach.command, 0, 50) + ": ") +
                breach.detail);
        }
        const RunTally& tally = stream.tally();
        if (tally.summary().notPlayed > 0) {
            verdict.outcome = Verdict::Outcome::Failed;
            verdict.lines.push_back(std::to_string(tally.summary().notPlayed) +
                                    " lines were not played");
        }
        verdict.summary = std::to_string(tally.summary().steps) + " steps";
        return verdict;
    }

    const CommandKeys& keys() const { return m_keys; }

    const Slowest& slowest() const { return m_slowest; }
    const ValidateSettings& settings() const { return m_settings; }

private:
    const ValidateSettings& m_settings;
    const Selection& m_selection;
    CommandKeys m_keys;
    HtmlReport* m_html;
    Slowest m_slowest;
};

Verdict loadAndDestroy(Battery& battery) {
    return battery.play("VL1", "load\ndestroy\n  expect routers none\nload\ndestroy\n"
                               "  expect routers none\n");
}

Verdict everyEventType(Battery& battery) {
    std::string text = World;
    text += "load\n"
            "revertive 20 7 3\n"
            "press 1 myDest\n"
            "press 1 elsewhere alarm=ack\n"
            "command none\n"
            "command \"\"\n"
            "timer 3\n"
            "dbchange 20 1 7 = Camera 7b\n"
            "aux data\n"
            "event 5\n";
    for (int type : {0, 8, -1}) {
        text += "event " + std::to_string(type) + "\n  expect sent none\n";
    }
    for (int type : {1, 2, 6, 7}) {
        text += "event " + std::to_string(type) + "\n";
    }
    return battery.play("VL2", text + "destroy\n");
}

// The values every key gets: what the component hinted, and the hostile ones.
std::vector<std::string> valuesFor(const std::vector<std::string>& hints) {
    std::vector<std::string> values = hints;
    const std::string hostile[] = {"",
                                   std::string(2000, 'x'),
                                   "a'b",
                                   "O'Brien cam",
                                   "'",
                                   "99999999999",
                                   "-2147483649",
                                   "-1",
                                   "0",
                                   "CAM",
                                   "PKG",
                                   "1,2"};
    values.insert(values.end(), std::begin(hostile), std::end(hostile));
    return values;
}

std::string keyCommands(const CommandKeys& keys) {
    std::string text;
    for (const auto& entry : keys) {
        for (const std::string& value : valuesFor(entry.second)) {
            text += "command " + encodeText(entry.first + "=" + value) + "\n";
        }
    }
    return text;
}

Verdict commandsAndSettings(Battery& battery) {
    const CommandKeys& keys = battery.keys();
    if (keys.empty()) {
        Verdict verdict;
        verdict.outcome = Verdict::Outcome::Skipped;
        verdict.summary = "the component answers neither _commands nor return=all";
        return verdict;
    }
    return battery.play("VL3", std::string(World) + "load\n" + keyCommands(keys) + "destroy\n");
}

Verdict repliesGivenBack(Battery& battery) {
    // Every command gets a reply, so a reply that stays the host's and still comes
    // back shows; then lookups get none, so the null give-back is owed.
    std::string text = World;
    for (const char* code : {"PS", "TP", "HN", "RR", "RU", "ET", "TG", "XI"}) {
        text += std::string("answer ") + code + " => OK\n";
    }
    CommandKeys keys = battery.keys();
    keys["instance"].push_back("CAM");
    std::string commands;
    for (const auto& entry : keys) {
        for (const std::string& value : entry.second) {
            commands += "command " + encodeText(entry.first + "=" + value) + "\n";
        }
    }
    commands += "press 1 myDest\ntimer 2\ndbchange 20 1 7 = Camera\n";
    text += "load\n" + commands + "answer RN => none\nanswer SD => none\n" + commands + "destroy\n";
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

Verdict fuzz(Battery& battery) {
    const ValidateSettings& settings = battery.settings();
    const FuzzSummary found =
        fuzzQuietly(settings.target, settings.seed, settings.seconds, battery.keys());
    Verdict verdict;
    if (found.fatal) {
        verdict.outcome = Verdict::Outcome::Failed;
        verdict.lines.push_back(found.fatalMessage);
        return verdict;
    }
    verdict.summary =
        std::to_string(found.events) + " events, seed " + std::to_string(settings.seed);
    if (found.found) {
        const RuleInfo& info = ruleInfo(found.finding.rule);
        verdict.outcome = Verdict::Outcome::Failed;
        verdict.lines.push_back(std::string(info.id) + " " + info.name + " at event " +
                                std::to_string(found.findingEvent + 1) + ": " +
                                printable(found.finding.detail));
        verdict.lines.push_back("replay it: panelhost fuzz " + printable(settings.target.library) +
                                " --seed " + std::to_string(settings.seed) + " --events " +
                                std::to_string(found.findingEvent + 1) + " --ui " +
                                printable(settings.target.ui) + " --out replay.scenario");
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

} // namespace

const std::vector<CheckInfo>& validationChecks() {
    return checks;
}

int runValidate(const ValidateSettings& settings) {
    // The ids were checked with the command line: each is a check or a rule.
    Selection selection;
    for (const auto& list :
         {std::make_pair(&settings.only, true), std::make_pair(&settings.skip, false)}) {
        for (const std::string& id : *list.first) {
            if (isCheck(id)) {
                (list.second ? selection.onlyChecks : selection.skipChecks).insert(id);
            } else if (const RuleInfo* rule = findRule(id)) {
                (list.second ? selection.onlyRules : selection.skipRules).insert(rule->id);
            }
        }
    }
    const std::string library = printable(settings.target.library);
    std::printf("panelhost validate: %s\n    ui folder: %s\n", library.c_str(),
                printable(settings.target.ui).c_str());
    std::fflush(stdout);

    // The library must load and give a component before anything can be checked;
    // what it answers then are the keys the checks play.
    CommandKeys keys;
    std::string error;
    if (!probeKeys(settings.target, keys, error)) {
        return reportFatal(OutputFormat::Text, error);
    }
    std::optional<HtmlReport> html;
    if (!settings.html.empty()) {
        html.emplace("validate", "panelhost validate " + settings.target.library);
    }
    Battery battery(settings, selection, std::move(keys), html ? &*html : nullptr);

    const std::function<Verdict(Battery&)> bodies[] = {
        loadAndDestroy, everyEventType, commandsAndSettings, repliesGivenBack, slowEvent, fuzz};
    JUnitReport junit("panelhost validate " + settings.target.library);
    int held = 0, warned = 0, failed = 0, skipped = 0;
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const CheckInfo& check = checks[i];
        const std::string name = std::string(check.id) + " " + check.name;
        Verdict verdict;
        double seconds = 0;
        if (html) {
            html->beginRun(check.id, name);
        }
        if (!selection.check(check.id)) {
            verdict.outcome = Verdict::Outcome::Skipped;
            verdict.summary = "not selected";
        } else {
            const Clock::time_point began = Clock::now();
            verdict = bodies[i](battery);
            seconds = std::chrono::duration<double>(Clock::now() - began).count();
        }
        char line[256];
        std::snprintf(line, sizeof line, "  %s  %-28s %7.2f s  %s\n", label(verdict.outcome),
                      name.c_str(), seconds, verdict.summary.c_str());
        std::fputs(line, stdout);
        std::string report;
        for (const std::string& text : verdict.lines) {
            std::printf("          %s\n", printable(text).c_str());
            report += text + "\n";
        }
        std::fflush(stdout);
        if (html) {
            std::string outcome = label(verdict.outcome);
            html->judge(outcome.substr(0, outcome.find(' ')), verdict.summary, verdict.lines);
        }
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
                       report);
            break;
        default:
            ++skipped;
            junit.skip(name, verdict.summary);
        }
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    // The reports first, so that the summary states the status the run ends with.
    std::string unwritten;
    if (!settings.junit.empty() && !junit.write(settings.junit)) {
        unwritten = "cannot write the JUnit report to " + settings.junit;
    } else if (html) {
        html->setStatus(failed > 0 ? 1 : 0);
        if (!html->write(settings.html)) {
            unwritten = "cannot write the HTML page to " + settings.html;
        }
    }
    const bool written = unwritten.empty();
    const int status = !written ? 2 : failed > 0 ? 1 : 0;
    std::printf("\nvalidated %s through load_tarn_client_script: %zu checks, %d held (%d with "
                "warnings), %d failed, %d skipped; seed %llu; %.1f s -> exit %d\n",
                library.c_str(), checks.size(), held + warned, warned, failed, skipped,
                settings.seed, total, status);
    std::fflush(stdout);
    if (!written) {
        return reportFatal(OutputFormat::Text, unwritten);
    }
    return status;
}
