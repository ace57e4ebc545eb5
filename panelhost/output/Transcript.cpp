#include "output/Transcript.h"

#include "CommandTable.h"
#include "language/LanguageHelp.h"
#include "language/Text.h"

#include <algorithm>
#include <cstdio>

namespace {

const std::string Indent = "    ";
// Texts longer than this are shown around their first difference, or their start.
const std::size_t Longest = 120;

std::string numbers(const std::vector<int>& values) {
    std::string out;
    for (int value : values) {
        out += (out.empty() ? "" : " ") + std::to_string(value);
    }
    return out.empty() ? "none" : out;
}

std::string fixed(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string shownOptional(const std::optional<std::string>& text) {
    return text ? shortened(*text, 0, Longest) : "none";
}

// "A: " before what is about instance A, as a scenario line addresses it;
// nothing in a run that names no instances.
std::string of(const std::string& instance) {
    return instance.empty() ? std::string() : instance + ": ";
}

struct Shown {
    std::string expected;
    std::string actual;
};

// Both values of a failed expectation, in scenario form; lists one entry per
// line with "> " before the first entry that differs.
Shown shownValues(const ExpectValue& expected, const ExpectValue& actual) {
    const std::string label = Indent + "     ";
    const auto single = [&](const ExpectValue& value, std::size_t around) {
        switch (value.form) {
        case ExpectValue::Form::Text:
            return shortened(value.text, around, Longest);
        case ExpectValue::Form::Numbers:
            return numbers(value.numbers);
        case ExpectValue::Form::Lines:
            return std::string(value.lines.empty() ? "none" : "");
        default:
            return std::string("none");
        }
    };
    if (expected.form != ExpectValue::Form::Lines && actual.form != ExpectValue::Form::Lines) {
        const std::size_t around =
            expected.form == ExpectValue::Form::Text && actual.form == ExpectValue::Form::Text
                ? firstDifference(expected.text, actual.text)
                : 0;
        Shown shown{label + "expected: " + single(expected, around) + "\n",
                    label + "actual:   " + single(actual, around) + "\n"};
        if (expected.form == ExpectValue::Form::Text && actual.form == ExpectValue::Form::Text &&
            (expected.text.size() > Longest || actual.text.size() > Longest)) {
            shown.actual +=
                label + "first difference at character " + std::to_string(around + 1) + "\n";
        }
        return shown;
    }
    const std::vector<std::string>& want = expected.lines;
    const std::vector<std::string>& have = actual.lines;
    std::size_t differ = 0;
    while (differ < want.size() && differ < have.size() && want[differ] == have[differ]) {
        ++differ;
    }
    const auto list = [&](const char* name, const std::vector<std::string>& lines,
                          const std::vector<std::string>& other) {
        if (lines.empty()) {
            return label + name + " none" + (differ == 0 ? "   <- first difference" : "") + "\n";
        }
        std::string out = label + name + "\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t around =
                i == differ && i < other.size() ? firstDifference(lines[i], other[i]) : 0;
            out += label + (i == differ ? "  > " : "    ") + shortened(lines[i], around, Longest) +
                   "\n";
        }
        if (differ == lines.size()) {
            out += label + "  > (nothing more)\n";
        }
        return out;
    };
    return {list("expected:", want, have), list("actual:", have, want)};
}

struct Render {
    bool verbose;

    std::string operator()(const StartRecord& r) const {
        if (r.restart > 0) {
            // What is played against what was said at the first start.
            return "\nrestarted: life " + std::to_string(r.restart + 1) +
                   " of the component, the world facts replayed\n";
        }
        return "panelhost: " + printable(r.library) + "\n" + Indent +
               "scenario: " + printable(r.scenario) + "\n" + Indent +
               "ui folder: " + printable(r.ui) + "\n";
    }
    std::string operator()(const StepRecord& r) const {
        if (r.implicit) {
            return "\n[" + stepPlace(r.line, true) + "]" +
                   (r.instance.empty() ? "" : " " + of(r.instance) + nameOf(r.step)) + "\n";
        }
        const bool press = r.step == Step::Kind::Press;
        std::string out = "\n[" + std::to_string(r.line) + "] " + of(r.instance) + nameOf(r.step);
        if (press) {
            out += " " + encodeText(r.panel) + " " + encodeText(r.control);
        }
        if (!r.numbers.empty()) {
            out += " " + numbers(r.numbers);
            if (r.step == Step::Kind::DatabaseChange) {
                out += " =";
            }
        }
        if (r.text && !(press && r.text->empty())) {
            out += " " + shortened(*r.text, 0, Longest);
        }
        if (r.relayed) {
            out += "   (parent: " + (r.raisedBy.empty() ? "" : r.raisedBy + " ") + "raised " +
                   shortened(*r.relayed, 0, Longest) + ")";
        }
        return out + "\n";
    }
    std::string operator()(const SentRecord& r) const {
        std::string out = Indent + "> " + shortened(r.command, 0, Longest * 2);
        const CommandSpec* spec = findCommand(r.command.substr(0, 2));
        // Commands whose reply the component reads or tests show it, none included.
        const bool readsReply = spec != nullptr && (spec->owed != ReplyOwed::Never ||
                                                    r.command.compare(0, 2, "PS") == 0);
        if (r.reply || readsReply) {
            out += "   => " + shownOptional(r.reply);
        }
        return out + "\n";
    }
    std::string operator()(const GiveBackRecord& r) const {
        if (!verbose) {
            return "";
        }
        return Indent + "< given back: " + (r.of ? "reply of " + *r.of : std::string("null")) +
               "\n";
    }
    std::string operator()(const EventRecord& r) const {
        return Indent + "^ event to parent: " + shortened(r.text, 0, Longest) + "\n";
    }
    std::string operator()(const ReplyRecord& r) const {
        return Indent + "= reply: " + shownOptional(r.text) + "\n";
    }
    std::string operator()(const DebugRecord& r) const {
        std::string out;
        for (const std::string& line : splitLines(r.text)) {
            out += Indent + "debug: " + shortened(line, 0, Longest * 2) + "\n";
        }
        return out;
    }
    std::string operator()(const BreachRecord& r) const {
        const RuleInfo& info = ruleInfo(r.rule);
        std::string out = Indent + "!! " + severityName(info.severity) + " " + info.id + " " +
                          info.name + " (" + stepPlace(r.line, r.implicit) +
                          (r.instance.empty() ? "" : ", " + r.instance) + ")";
        if (!r.command.empty()) {
            out += ": " + shortened(r.command, 0, Longest);
        }
        return out + ": " + printable(r.detail) + "\n";
    }
    std::string operator()(const ExpectRecord& r) const {
        std::string label = of(r.instance) + "expect " + nameOf(r.what);
        if (r.what == Expectation::Kind::Property) {
            label += " " + encodeText(r.panel) + " " + encodeText(r.control) + " " +
                     encodeText(r.property);
        }
        if (r.what == Expectation::Kind::Breach) {
            label += " " + r.rule;
        }
        const std::string where = expectPlace(r) + ": ";
        if (r.held) {
            return Indent + "ok   " + where + label + "\n";
        }
        const Shown shown = shownValues(r.expected, r.actual);
        return Indent + "FAIL " + where + label + "\n" + shown.expected + shown.actual;
    }
    std::string operator()(const ProblemRecord& r) const {
        return Indent + "?? line " + std::to_string(r.line) +
               (r.instance.empty() ? "" : ", " + r.instance) +
               ", a problem of the scenario: " + printable(r.text) +
               (r.nearest.empty() ? std::string()
                                  : "; the nearest known is " + printable(r.nearest)) +
               "\n";
    }
    std::string operator()(const EndRecord&) const { return ""; }
    std::string operator()(const PanelRecord& r) const {
        std::string out = "\npanel " + printable(r.panel) +
                          (r.instance.empty() ? "" : " of " + r.instance) + " (" +
                          printable(r.source) + ")\n";
        for (const PanelRecord::Control& control : r.controls) {
            const std::string name = encodeText(control.name);
            out += Indent + name;
            for (std::size_t pad = name.size(); pad < 12; ++pad) {
                out += ' ';
            }
            for (const auto& property : control.properties) {
                out +=
                    " " + printable(property.first) + "=" + shortened(property.second, 0, Longest);
            }
            out += "\n";
        }
        return out;
    }
    std::string operator()(const SummaryRecord& r) const {
        std::string out = "\n";
        if (r.notPlayed > 0) {
            out += "not played: " + std::to_string(r.notPlayed) + " line" +
                   (r.notPlayed == 1 ? "" : "s") + " of the scenario, from line " +
                   std::to_string(r.notPlayedFrom) + "\n";
        }
        return out + "summary: " + std::to_string(r.steps) + " steps, " +
               std::to_string(r.expectations) + " expectations (" + std::to_string(r.held) +
               " held, " + std::to_string(r.failed) + " failed), " +
               (r.problems > 0 ? counted(r.problems, "problem", "problems") + " of the scenario, "
                               : std::string()) +
               "breaches: " + std::to_string(r.errors) + " errors, " + std::to_string(r.warnings) +
               " warnings" +
               (r.expectedBreaches > 0 ? ", " + std::to_string(r.expectedBreaches) + " expected"
                                       : std::string()) +
               " -> exit " + std::to_string(r.status) + "\n";
    }
    std::string operator()(const FatalRecord&) const { return ""; }
    std::string operator()(const ProgressRecord&) const { return ""; }
    std::string operator()(const MemoryRecord& r) const {
        std::string out = "\nheap in use after each " + std::to_string(r.cycles) +
                          " repetitions of " + std::to_string(r.steps) + " steps:";
        for (long long reading : r.readings) {
            out += " " + std::to_string(reading);
        }
        return out + " bytes (" + r.how + ")\n";
    }
    std::string operator()(const OutputRecord& r) const {
        // The component's own text, line by line, marked as its and not panelhost's.
        std::string out;
        for (const std::string& line : splitLines(r.text)) {
            out += Indent + "component " + r.stream + ": " + shortened(line, 0, Longest * 2) + "\n";
        }
        return out;
    }
    std::string operator()(const StateRecord&) const { return ""; }
    std::string operator()(const RecordedRecord& r) const {
        if (!r.written) {
            return "\nnot recorded to " + printable(r.file) + ": " + printable(r.reason) + "\n";
        }
        std::string out = "\nrecorded to " + printable(r.file) + ": " +
                          std::to_string(r.expectations) + " expectation lines from what happened";
        if (!r.failed.empty()) {
            std::string lines;
            for (int line : r.failed) {
                lines += (lines.empty() ? "" : ", ") + std::to_string(line);
            }
            out += "; replaced " + std::to_string(r.failed.size()) + " that failed (line" +
                   (r.failed.size() == 1 ? " " : "s ") + lines + ")";
        }
        if (r.breaches > 0) {
            out += "; " + std::to_string(r.breaches) + " breach" + (r.breaches == 1 ? "" : "es") +
                   " now expected";
        }
        if (r.unrecordable > 0) {
            out += "; " + std::to_string(r.unrecordable) + " breach" +
                   (r.unrecordable == 1 ? "" : "es") +
                   " in implicit steps, which no line can expect, will fail it";
        }
        return out + "\n";
    }
    std::string operator()(const ValidationRecord& r) const {
        return "panelhost validate: " + printable(r.library) + "\n" + Indent +
               "ui folder: " + printable(r.ui) + "\n";
    }
    std::string operator()(const WorldRecord& r) const {
        return Indent + "its world: " + counted(r.panels, "panel", "panels") + " with " +
               counted(r.controls, "control", "controls") + ", " + counted(r.keys, "key", "keys") +
               " of its own, " + counted(r.instances, "instance", "instances") + ", " +
               counted(r.names, "name", "names") + " and " +
               counted(r.routers, "router", "routers") + " asked about; learned in " +
               std::to_string(r.runs) + " runs, " + fixed("%.2f", r.seconds) + " s\n";
    }
    std::string operator()(const CheckRecord& r) const {
        const CheckInfo& check = checkInfo(r.check);
        std::string outcome = nameOf(r.outcome);
        std::string name = std::string(check.id) + " " + check.name;
        outcome.resize(4, ' ');
        name.resize(std::max<std::size_t>(name.size(), 28), ' ');
        std::string out = "  " + outcome + "  " + name + " " + fixed("%7.2f", r.seconds) + " s  " +
                          r.summary + "\n";
        for (const CheckFinding& finding : r.findings) {
            for (const std::string& line : findingLines(finding)) {
                out += "          " + printable(line) + "\n";
            }
        }
        return out;
    }
    std::string operator()(const ValidatedRecord& r) const {
        return "\nvalidated " + printable(r.library) +
               " through load_tarn_client_script: " + std::to_string(r.checks) + " checks, " +
               std::to_string(r.held) + " held (" + std::to_string(r.warned) + " with warnings), " +
               std::to_string(r.failed) + " failed, " + std::to_string(r.skipped) +
               " skipped; seed " + std::to_string(r.seed) + "; " + fixed("%.1f", r.seconds) +
               " s -> exit " + std::to_string(r.status) + "\n";
    }
    std::string operator()(const FuzzRecord& r) const {
        return "panelhost fuzz: " + printable(r.library) + ", seed " + std::to_string(r.seed) +
               ", " +
               (r.seconds > 0 ? "up to " + std::to_string(r.events) + " events or " +
                                    std::to_string(static_cast<long>(r.seconds)) + " s"
                              : std::to_string(r.events) + " events") +
               "\n";
    }
    std::string operator()(const FuzzFindingRecord& r) const {
        const BreachRecord& breach = r.breach;
        const std::string label = ruleLabel(ruleInfo(breach.rule));
        const std::string what =
            (breach.command.empty() ? std::string() : printable(breach.command) + ": ") +
            printable(breach.detail);
        if (!r.fails) {
            return "panelhost fuzz: warning " + label + ", first at event " +
                   std::to_string(r.event) + ": " + what + "\n";
        }
        return "panelhost fuzz: finding " + label + " at event " + std::to_string(r.event) +
               ", after " + fixed("%.1f", r.seconds) + " s: " + what +
               "\n--- the finding's step, replayed from the seed ---\n";
    }
    std::string operator()(const ShrunkRecord& r) const {
        return "panelhost fuzz: shrunk to " + std::to_string(r.kept) + " of the first " +
               std::to_string(r.events) + " events and " + std::to_string(r.factsKept) + " of " +
               std::to_string(r.facts) + " world facts\n--- replay scenario ---\n" + r.scenario +
               (r.file.empty()
                    ? std::string()
                    : "panelhost fuzz: replay scenario written to " + printable(r.file) + "\n");
    }
    std::string operator()(const FuzzedRecord& r) const {
        if (r.found) {
            return ""; // the finding and its replay said it
        }
        char text[160];
        std::snprintf(text, sizeof text,
                      "panelhost fuzz: no findings in %ld events (%ld steps, %ld commands sent) "
                      "in %.1f s\n",
                      r.events, r.steps, r.sent, r.seconds);
        return text;
    }
    std::string operator()(const TerminalRecord& r) const {
        switch (r.what) {
        case TerminalRecord::What::Begin:
            return "panelhost: type scenario lines; 'help' lists them, 'quit' ends\n";
        case TerminalRecord::What::Prompt:
            return "panelhost> ";
        case TerminalRecord::What::Help:
            return languageHelp();
        case TerminalRecord::What::Show:
            return of(r.instance) + "routers registered: " + numbers(r.routers) + "\n" +
                   of(r.instance) + "timers running: " + numbers(r.timers) + "\n" + of(r.instance) +
                   "component: " + (r.loaded ? "loaded" : "not loaded") + "\n";
        case TerminalRecord::What::Error:
            break;
        }
        return "panelhost: " + printable(r.text) + "\n";
    }
};

} // namespace

std::string renderRecord(const Record& record, bool verbose) {
    return std::visit(Render{verbose}, record);
}

std::vector<std::string> findingLines(const CheckFinding& finding) {
    const RuleInfo* rule = findRule(finding.rule);
    std::string line = rule == nullptr ? std::string() : ruleLabel(*rule) + ", ";
    if (finding.times > 0) {
        line += counted(finding.times, "time", "times") + ", first at " +
                (finding.step.empty() ? "a step" : shortened(finding.step, 0, 50)) + ": ";
    } else if (finding.event > 0) {
        line += "first at event " + std::to_string(finding.event) + ": ";
    }
    if (!finding.command.empty()) {
        line += shortened(finding.command, 0, 50) + ": ";
    }
    std::vector<std::string> lines{line + finding.message};
    if (!finding.replay.empty()) {
        lines.push_back("replay it: " + finding.replay);
    }
    return lines;
}
