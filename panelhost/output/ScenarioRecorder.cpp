#include "output/ScenarioRecorder.h"

#include "language/Text.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace {

// A name as one word of a scenario line: verbatim where it reads back as one
// word, quoted otherwise.
std::string word(const std::string& text) {
    bool plain = !text.empty() && text.front() != '"' && text != "=" && text != "=>";
    for (char c : text) {
        plain = plain && c > ' ' && c < 0x7F;
    }
    return plain ? text : quoted(text);
}

std::string numbers(const ExpectValue& value) {
    std::string out;
    for (int number : value.numbers) {
        out += (out.empty() ? "" : " ") + std::to_string(number);
    }
    return out.empty() ? "none" : out;
}

std::string indentOf(const std::string& line) {
    return line.substr(0, line.find_first_not_of(" \t"));
}

// A line as it was read ends with a carriage return where the scenario's
// lines end with CR LF; the lines written beside it end the same way.
std::string endOf(const std::string& line) {
    return !line.empty() && line.back() == '\r' ? "\r" : "";
}

} // namespace

ScenarioRecorder::ScenarioRecorder(const Scenario& scenario, std::string text, std::string ui)
    : m_scenario(scenario), m_text(std::move(text)), m_ui(std::move(ui)) {}

void ScenarioRecorder::see(const Record& record) {
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        // An implicit step's traffic is no step's that the scenario wrote: no
        // line can expect it. A command the parent delivered goes on with the
        // step it answers.
        m_open = step->implicit ? nullptr : &m_steps[{step->line, step->instance}];
        if (m_open != nullptr) {
            if (!step->relayed) {
                *m_open = Happened();
            }
            m_open->command = m_open->command || step->step == Step::Kind::Command;
            m_open->ended = false;
        }
    } else if (const ExpectRecord* expect = std::get_if<ExpectRecord>(&record)) {
        m_expects[expect->line] = *expect;
    } else if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
        if (m_open != nullptr) {
            m_open->breaches.push_back(ruleInfo(breach->rule).id);
        } else {
            ++m_unrecordable;
        }
    } else if (m_open == nullptr) {
        return;
    } else if (const SentRecord* sent = std::get_if<SentRecord>(&record)) {
        m_open->sent.push_back(sent->command);
    } else if (const EventRecord* event = std::get_if<EventRecord>(&record)) {
        m_open->events.push_back(event->text);
    } else if (const ReplyRecord* reply = std::get_if<ReplyRecord>(&record)) {
        m_open->reply = reply->text;
    } else if (const DebugRecord* debug = std::get_if<DebugRecord>(&record)) {
        m_open->debug += debug->text;
    } else if (std::holds_alternative<EndRecord>(record)) {
        m_open->ended = true;
    }
}

std::string ScenarioRecorder::marked(const std::string& text) const {
    std::string out = text;
    if (m_ui.empty()) {
        return encodeText(out);
    }
    for (std::size_t at = out.find(m_ui); at != std::string::npos; at = out.find(m_ui, at + 4)) {
        out.replace(at, m_ui.size(), "{ui}");
    }
    return encodeText(out);
}

std::vector<std::string> ScenarioRecorder::block(const Happened& happened, const std::string& head,
                                                 bool debugExpected) const {
    std::vector<std::string> out;
    const std::string expect = head + "expect ";
    // A step that never returned (it crashed or hung) shows only its breaches:
    // nothing after it is checked but those.
    if (happened.ended) {
        const auto list = [&](const char* what, const std::vector<std::string>& texts) {
            if (texts.empty()) {
                out.push_back(expect + what + " none");
            }
            for (const std::string& text : texts) {
                out.push_back(expect + what + " " + marked(text));
            }
        };
        list("sent", happened.sent);
        list("event", happened.events);
        if (happened.command) {
            out.push_back(expect + "reply " +
                          (happened.reply ? marked(*happened.reply) : std::string("none")));
        }
        // The debug lines, each with its line feed, are the step's output joined.
        for (const std::string& line : splitLines(happened.debug, true)) {
            out.push_back(expect + "debug " + marked(line));
        }
        if (happened.debug.empty() && debugExpected) {
            out.push_back(expect + "debug none");
        }
    }
    for (const std::string& rule : happened.breaches) {
        out.push_back(expect + "breach " + rule);
    }
    return out;
}

std::string ScenarioRecorder::rewritten(const Item& item, const std::string& indent) const {
    const auto found = m_expects.find(item.line);
    if (found == m_expects.end() || found->second.held) {
        return std::string();
    }
    const Expectation& expectation = std::get<Expectation>(item.what);
    const ExpectValue& actual = found->second.actual;
    const std::string head = indent + (item.addressed ? item.instance + ": " : std::string()) +
                             "expect " + nameOf(expectation.kind) + " ";
    if (expectation.kind == Expectation::Kind::Property) {
        return head + word(expectation.panel) + " " + word(expectation.control) + " " +
               word(expectation.property) + " = " +
               (actual.form == ExpectValue::Form::Text ? marked(actual.text) : std::string("none"));
    }
    return head + numbers(actual);
}

std::string ScenarioRecorder::recorded(RecordedRecord& outcome) const {
    const std::vector<std::string> lines = splitLines(m_text);
    const bool endsWithNewline = !m_text.empty() && m_text.back() == '\n';

    // Which step each expectation is about, each step's first expectation, the
    // steps (by instance) whose debug output the scenario expected, and the
    // instances in the order named.
    std::map<int, const Item*> items;
    std::map<int, int> owner, first;
    std::set<std::pair<int, std::string>> debugExpected;
    std::vector<std::string> instances{std::string()};
    int step = 0;
    for (const Item& item : m_scenario.items) {
        items[item.line] = &item;
        const Fact* fact = std::get_if<Fact>(&item.what);
        if (fact != nullptr && fact->kind == Fact::Kind::Child) {
            instances.push_back(fact->object);
        } else if (std::holds_alternative<Step>(item.what)) {
            step = item.line;
        } else if (const Expectation* expectation = std::get_if<Expectation>(&item.what)) {
            owner[item.line] = step;
            first.emplace(step, item.line);
            if (expectation->kind == Expectation::Kind::Debug) {
                debugExpected.insert({step, item.instance});
            }
        }
    }

    outcome.expectations = 0;
    outcome.breaches = 0;
    outcome.unrecordable = m_unrecordable;
    outcome.failed.clear();
    std::string out;
    const auto put = [&](const std::string& line, bool expectation) {
        out += line + "\n";
        outcome.expectations += expectation ? 1 : 0;
    };
    // The step's own instance first, its lines as the step's; then every other
    // instance the step reached, each line naming it.
    const auto putBlock = [&](int stepLine, const std::string& indent, const std::string& end) {
        const Item& stepItem = *items.at(stepLine);
        const auto own = [&](const std::string& name) {
            return !stepItem.every && name == stepItem.instance;
        };
        std::vector<std::string> order;
        std::copy_if(instances.begin(), instances.end(), std::back_inserter(order), own);
        std::copy_if(instances.begin(), instances.end(), std::back_inserter(order),
                     [&](const std::string& name) { return !own(name); });
        for (const std::string& name : order) {
            const auto found = m_steps.find({stepLine, name});
            if (found == m_steps.end()) {
                continue;
            }
            const Happened& happened = found->second;
            const std::string head = indent + (own(name) ? "" : name + ": ");
            for (const std::string& line :
                 block(happened, head, debugExpected.count({stepLine, name}) > 0)) {
                put(line + end, true);
            }
            outcome.breaches += static_cast<int>(happened.breaches.size());
        }
    };
    const auto played = [&](int stepLine) {
        const auto at = m_steps.lower_bound({stepLine, std::string()});
        return at != m_steps.end() && at->first.first == stepLine;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string& raw = lines[i];
        const auto found = items.find(number);
        const Item* item = found == items.end() ? nullptr : found->second;
        if (item == nullptr || std::holds_alternative<Fact>(item->what)) {
            put(raw, false);
            continue;
        }
        if (std::holds_alternative<Step>(item->what)) {
            put(raw, false);
            if (played(number) && first.count(number) == 0) {
                putBlock(number, "  ", endOf(raw));
            }
            continue;
        }
        // An expectation about a step that was not played stays as written.
        const int about = owner[number];
        if (!played(about)) {
            put(raw, true);
            continue;
        }
        if (first[about] == number) {
            putBlock(about, indentOf(raw), endOf(raw));
        }
        const Expectation::Kind kind = std::get<Expectation>(item->what).kind;
        if (kind == Expectation::Kind::Property || kind == Expectation::Kind::Routers ||
            kind == Expectation::Kind::Timers) {
            const std::string line = rewritten(*item, indentOf(raw));
            put(line.empty() ? raw : line + endOf(raw), true);
        }
    }
    for (const auto& entry : m_expects) {
        if (!entry.second.held) {
            outcome.failed.push_back(entry.first);
        }
    }
    // A scenario whose last line has no line end is written back the same way.
    if (!endsWithNewline && !out.empty()) {
        out.pop_back();
        if (!out.empty() && out.back() == '\r') {
            out.pop_back();
        }
    }
    return out;
}

bool leftLinesUnplayed(const SummaryRecord& summary, RecordedRecord& outcome) {
    if (summary.notPlayed == 0) {
        return false;
    }
    outcome.written = false;
    outcome.reason = "the component crashed or hung, so the lines from line " +
                     std::to_string(summary.notPlayedFrom) + " were not played";
    return true;
}
