#include "live/LiveSession.h"

#include "child/Process.h"
#include "child/Supervisor.h"
#include "language/Text.h"
#include "output/JsonBytes.h"
#include "output/OutputFile.h"
#include "output/RecordJson.h"
#include "output/ScenarioRecorder.h"

using nlohmann::json;

namespace {

// How a line of an earlier life stands in a later life's scenario.
const char* const NotReplayed = "# not replayed after a restart: ";

std::string error(const std::string& message) {
    return dumpJson(json{{"error", jsonBytes(message)}});
}

} // namespace

// What a line of the language is, as a later life replays it.
LiveSession::LineKind LiveSession::kindOf(const Item& item) {
    return std::holds_alternative<Fact>(item.what)   ? LineKind::Fact
           : std::holds_alternative<Step>(item.what) ? LineKind::Step
                                                     : LineKind::Expectation;
}

LiveSession::LiveSession(const LiveSettings& settings, const std::string& opening, LiveHub& hub,
                         RecordStream& stream)
    : m_settings(settings), m_hub(hub), m_stream(stream) {
    int number = 0;
    for (const std::string& text : splitLines(opening)) {
        std::optional<Item> item;
        ScenarioError ignored;
        Line line{text, 0, LineKind::Other};
        if (parseScenarioLine(text, ++number, item, ignored) && item) {
            line.kind = kindOf(*item);
        }
        m_lines.push_back(line);
    }
    m_stream.observe([this](const Record& record) {
        if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
            m_openStep = step->line;
        } else if (std::holds_alternative<EndRecord>(record)) {
            m_openStep.reset();
        }
        m_records.push_back(record);
        m_changed = true;
        m_hub.publish("record", recordToJson(record));
    });
}

std::string LiveSession::lifeText() const {
    std::string text;
    for (const Line& line : m_lines) {
        const bool replayed =
            line.life == m_life || line.kind == LineKind::Fact || line.kind == LineKind::Other;
        text += (replayed ? "" : NotReplayed) + line.text + "\n";
    }
    return text;
}

void LiveSession::beginLife() {
    m_records.clear();
    m_lifeScenario = Scenario();
    std::vector<ScenarioError> errors;
    parseScenario(lifeText(), m_lifeScenario, errors, true, &m_addressing);
    m_lifeHasStep = false;
    for (const Item& item : m_lifeScenario.items) {
        m_lifeHasStep = m_lifeHasStep || std::holds_alternative<Step>(item.what);
    }
    m_lifeEnd = SummaryRecord();
    m_openStep.reset();
    m_running = true;
}

int LiveSession::run(const std::function<bool()>& interrupted) {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_hub.publish("line",
                      dumpJson(json{{"line", i + 1}, {"text", jsonBytes(m_lines[i].text)}}));
    }
    for (;;) {
        beginLife();
        publishState();
        const ChildJob job =
            liveJob(m_settings.target, m_settings.scenario.empty() ? "(live)" : m_settings.scenario,
                    lifeText(), static_cast<int>(m_lines.size()) + 1,
                    static_cast<long>(m_stream.tally().breaches().size()), m_life);
        const int status =
            supervise(job, m_settings.target.timeout, &m_lifeScenario, m_stream, nullptr,
                      [&](ChildInput& input) { tick(&input, interrupted); });
        m_running = false;
        m_fatal = m_fatal || status == 2;
        if (!m_stream.tally().finished()) {
            m_lifeEnd = m_stream.tally().summary();
        }
        publishState();
        // No component runs: the page may save what it did, restart it, or end.
        while (!m_quitting && !m_restart) {
            m_quitting = interrupted();
            for (const LiveHub::Pending& pending : m_hub.take(std::chrono::milliseconds(100))) {
                handle(pending, nullptr);
            }
        }
        if (m_quitting) {
            break;
        }
        m_restart = false;
        ++m_life;
    }
    if (!m_settings.record.empty()) {
        // What --record asked for and did not get (nothing to record, lines
        // left unplayed, a file that cannot be written) ends the session with
        // exit 2; the recorded record says why.
        std::string message;
        int status = 0;
        if (!save(m_settings.record, message, status)) {
            return 2;
        }
    }
    return m_fatal ? 2 : m_stream.tally().status();
}

void LiveSession::tick(ChildInput* input, const std::function<bool()>& interrupted) {
    if (!m_quitting && interrupted()) {
        m_quitting = true;
        input->close();
    }
    for (const LiveHub::Pending& pending : m_hub.take(std::chrono::milliseconds(0))) {
        handle(pending, input);
    }
    if (m_changed) {
        publishState();
    }
}

void LiveSession::handle(const LiveHub::Pending& pending, ChildInput* input) {
    const LiveHub::Request& request = pending.request;
    switch (request.kind) {
    case LiveHub::Request::Kind::Line:
        if (m_quitting) {
            pending.reply(409, error("the session is ending"));
        } else if (input == nullptr) {
            pending.reply(409, error(m_fatal ? "panelhost's own failure ended the session"
                                             : "no component runs: it crashed or hung; restart "
                                               "it first"));
        } else {
            takeLine(pending, *input);
        }
        return;
    case LiveHub::Request::Kind::Restart:
        if (m_quitting || m_fatal || input != nullptr) {
            pending.reply(409, error(m_quitting ? "the session is ending"
                                     : m_fatal  ? "panelhost's own failure ended the session"
                                                : "the component runs: a restart is for one that "
                                                  "crashed or hung"));
        } else {
            m_restart = true;
            pending.reply(200, R"({"restarted":true})");
        }
        return;
    case LiveHub::Request::Kind::Save: {
        std::string message;
        int status = 200;
        save(request.text.empty() ? m_settings.record : request.text, message, status);
        pending.reply(status, message);
        return;
    }
    case LiveHub::Request::Kind::Quit:
        if (!m_quitting && input != nullptr) {
            input->close();
        }
        m_quitting = true;
        pending.reply(200, R"({"ending":true})");
        return;
    }
}

void LiveSession::takeLine(const LiveHub::Pending& pending, ChildInput& input) {
    if (m_openStep) {
        // A line taken now would wait behind a step that may never end: a hang
        // leaves it unplayed, and the life could not be saved.
        pending.reply(409, error("the component is busy with the step at line " +
                                 std::to_string(*m_openStep) +
                                 ": send the line once the step ends (or is found hung)"));
        return;
    }
    const std::string& text = pending.request.text;
    const int number = static_cast<int>(m_lines.size()) + 1;
    if (text.find_first_of("\r\n") != std::string::npos) {
        pending.reply(400, error("one line at a time: the text holds a line end"));
        return;
    }
    std::optional<Item> item;
    ScenarioError refused;
    if (!parseScenarioLine(text, number, item, refused)) {
        pending.reply(400, error(refused.where()));
        return;
    }
    Line line{text, m_life, LineKind::Other};
    if (item) {
        if (std::holds_alternative<Expectation>(item->what) && !m_lifeHasStep) {
            pending.reply(400, error("line " + std::to_string(number) +
                                     ": an expectation before any step: it has nothing to check"));
            return;
        }
        if (!m_addressing.resolve(*item, refused)) {
            pending.reply(400, error(refused.where()));
            return;
        }
        line.kind = kindOf(*item);
        m_lifeHasStep = m_lifeHasStep || line.kind == LineKind::Step;
        m_lifeScenario.items.push_back(*item);
    }
    m_lines.push_back(line);
    m_hub.publish("line", dumpJson(json{{"line", number}, {"text", jsonBytes(text)}}));
    input.send(text);
    pending.reply(200, dumpJson(json{{"line", number}}));
}

bool LiveSession::save(const std::string& path, std::string& message, int& status) {
    if (path.empty()) {
        status = 400;
        message = error("name the file to save the scenario to");
        return false;
    }
    RecordedRecord outcome;
    outcome.file = path;
    status = 409;
    if (!m_lifeHasStep) {
        outcome.written = false;
        outcome.reason = "no step was played since the component was started: there is nothing "
                         "to record";
    } else if (!leftLinesUnplayed(m_lifeEnd, outcome)) {
        const std::string text = lifeText();
        Scenario scenario;
        std::vector<ScenarioError> errors;
        parseScenario(text, scenario, errors);
        ScenarioRecorder recorder(scenario, text, m_settings.target.ui);
        for (const Record& record : m_records) {
            recorder.see(record);
        }
        const std::string recorded = recorder.recorded(outcome);
        std::string reason;
        if (writeWholeFile(path, recorded, reason)) {
            status = 200;
        } else {
            status = 500;
            outcome = RecordedRecord();
            outcome.file = path;
            outcome.written = false;
            outcome.reason = reason + "; any file there was left as it was";
        }
    }
    m_stream.emit(outcome);
    message = outcome.written ? recordToJson(outcome)
                              : error("not recorded to " + path + ": " + outcome.reason);
    return outcome.written;
}

std::string LiveSession::stateJson() const {
    const RunTally& tally = m_stream.tally();
    std::string how;
    if (m_fatal) {
        how = "panelhost's own failure ended the session";
    } else if (!m_running && !tally.breaches().empty()) {
        const BreachRecord& last = tally.breaches().back();
        if (last.rule == Rule::ComponentCrash || last.rule == Rule::ComponentHang) {
            const RuleInfo& rule = ruleInfo(last.rule);
            how = std::string(rule.id) + " " + rule.name + " at line " + std::to_string(last.line) +
                  ": " + last.detail;
        }
    }
    json state{{"child", m_running    ? "running"
                         : m_quitting ? "over"
                                      : "ended"},
               {"life", m_life + 1},
               {"status", m_fatal ? 2 : tally.status()},
               {"summary", recordJson(tally.summary())},
               {"how", jsonBytes(how)},
               {"restartable", !m_running && !m_quitting && !m_fatal}};
    return dumpJson(state);
}

void LiveSession::publishState() {
    m_changed = false;
    m_hub.publish("state", stateJson());
}
