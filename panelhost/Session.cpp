#include "Session.h"

#include "CommandText.h"
#include "host_event_types.h"
#include "host_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using nlohmann::json;

namespace {

// What the host passes with a revertive: the router's report of a crosspoint.
// Components of this kind do not read it; it is there so the pointer is real.
struct RevertiveRecord {
    std::int32_t device;
    std::int32_t destination;
    std::int32_t source;
};

json optionalText(const std::optional<std::string>& text) {
    return text ? json(*text) : json(nullptr);
}

std::string join(const std::vector<std::string>& texts, const char* separator) {
    std::string out;
    for (const std::string& text : texts) {
        out += (out.empty() ? "" : separator) + text;
    }
    return out;
}

} // namespace

Session::Session(const SessionOptions& options, RecordSink& sink)
    : m_options(options), m_sink(sink), m_host(m_world, sink) {}

Session::~Session() {
    if (m_component != nullptr) {
        destroy();
    }
}

bool Session::open(std::string& error) {
    m_settings.reset(new ObjectSettingsFolder());
    m_library = ComponentLibrary::open(m_options.library, error);
    if (!m_library) {
        return false;
    }
    m_sink.emit({{"type", "start"},
                 {"library", m_options.library},
                 {"ui", m_options.ui},
                 {"scenario", m_options.scenario}});
    return true;
}

void Session::apply(const Item& item) {
    if (!m_fatal.empty()) {
        return;
    }
    m_lastLine = item.line;
    if (std::holds_alternative<Expectation>(item.what)) {
        m_pending.push_back(item);
        return;
    }
    checkExpectations();
    if (const Fact* fact = std::get_if<Fact>(&item.what)) {
        applyFact(*fact);
        return;
    }
    const Step& step = std::get<Step>(item.what);
    if (m_component == nullptr && step.kind != Step::Kind::Load &&
        step.kind != Step::Kind::Destroy) {
        runStep(Step(), item.line, true);
        if (!m_fatal.empty()) {
            return;
        }
    }
    runStep(step, item.line);
}

void Session::finish() {
    if (!m_fatal.empty()) {
        return;
    }
    checkExpectations();
    if (m_component != nullptr) {
        Step destroyStep;
        destroyStep.kind = Step::Kind::Destroy;
        runStep(destroyStep, m_lastLine, true);
    }
    emitPanel("1");
}

void Session::applyFact(const Fact& fact) {
    switch (fact.kind) {
    case Fact::Kind::Setting:
        m_settings->set(fact.object, fact.id, *fact.value);
        break;
    case Fact::Kind::Name:
        m_world.setName(fact.device, fact.database, fact.index, fact.value);
        break;
    case Fact::Kind::Instance:
        m_world.setInstance(fact.object, fact.value);
        break;
    case Fact::Kind::Control:
        m_world.setControlProperty(fact.panel, fact.control, fact.property, *fact.value);
        break;
    case Fact::Kind::Answer:
        if (fact.backToWorld) {
            m_world.clearAnswer(fact.object);
        } else {
            m_world.setAnswer(fact.object, fact.value);
        }
        break;
    }
}

void Session::runStep(const Step& step, int line, bool implicit) {
    json record = {{"type", "step"}, {"line", line}, {"step", stepKeyword(step.kind)}};
    if (step.text) {
        record["text"] = *step.text;
    }
    if (step.kind == Step::Kind::Press) {
        record["panel"] = step.panel;
        record["control"] = step.control;
    }
    if (step.kind == Step::Kind::DatabaseChange || step.kind == Step::Kind::Timer ||
        step.kind == Step::Kind::Revertive) {
        record["numbers"] = {step.numbers[0], step.numbers[1], step.numbers[2]};
    }
    if (implicit) {
        record["implicit"] = true;
    }
    m_sink.emit(record);
    m_host.beginStep(line);
    m_reply.reset();
    m_debug.begin();
    switch (step.kind) {
    case Step::Kind::Load:
        load();
        break;
    case Step::Kind::Destroy:
        if (m_component != nullptr) {
            destroy();
        }
        break;
    default:
        deliver(step);
    }
    m_debugText = m_debug.end();
    if (step.kind == Step::Kind::Command) {
        m_sink.emit({{"type", "reply"}, {"line", line}, {"text", optionalText(m_reply)}});
    }
    if (!m_debugText.empty()) {
        m_sink.emit({{"type", "debug"}, {"line", line}, {"text", m_debugText}});
    }
    m_sink.emit({{"type", "end"}, {"line", line}});
}

char* Session::call(void* data, int type) {
    char* result = nullptr;
    try {
        result = m_component->handleHostEvent(data, type);
    } catch (...) {
        m_host.report({Rule::ExceptionEscaped, "", "handleHostEvent threw"});
    }
    m_host.endEvent();
    return result;
}

void Session::load() {
    if (m_component != nullptr) {
        destroy();
    }
    m_host.beginLife();
    try {
        m_component = m_library->factory()(&m_host, m_options.ui.c_str());
    } catch (...) {
        m_host.report({Rule::ExceptionEscaped, "", "the factory threw"});
    }
    m_host.endEvent();
    if (m_component == nullptr) {
        m_fatal = "load_tarn_client_script of " + m_options.library + " returned no component";
    }
}

void Session::destroy() {
    tarn_client_callback* component = m_component;
    m_component = nullptr;
    try {
        tarn_destroy_component(component);
    } catch (...) {
        m_host.report({Rule::ExceptionEscaped, "", "the destructor threw"});
    }
    m_host.endDestruction();
}

void Session::deliver(const Step& step) {
    switch (step.kind) {
    case Step::Kind::Command: {
        std::vector<char> text;
        if (step.text) {
            text.assign(step.text->begin(), step.text->end());
            text.push_back('\0');
        }
        char* reply = call(step.text ? text.data() : nullptr, HostEventParentCommand);
        if (reply != nullptr) {
            // The host copies the reply, then hands the array back to be released
            // inside the library that allocated it.
            m_reply = std::string(reply);
            call(reply, HostEventReplyGivenBack);
        }
        break;
    }
    case Step::Kind::Press: {
        CommandText event(step.text ? step.text->c_str() : "");
        ButtonEventRecord record = {0, 0, step.panel.c_str(), step.control.c_str(), &event};
        call(&record, HostEventButton);
        break;
    }
    case Step::Kind::DatabaseChange: {
        // The record holds the whole name, however long, up to the NUL it ends
        // with; a name with a NUL in it ends there, as the host's texts do.
        const std::string name = step.text->c_str();
        std::vector<std::int32_t> storage(DatabaseChangeRecord::wordsFor(name.size()));
        DatabaseChangeRecord* record = placeDatabaseChangeRecord(
            storage.data(), step.numbers[0], step.numbers[1], step.numbers[2], name.c_str());
        m_world.setName(record->device, record->database, record->index, name);
        call(record, HostEventDatabaseChange);
        break;
    }
    case Step::Kind::Timer:
        m_world.startTimer(step.numbers[0]);
        call(reinterpret_cast<void*>(static_cast<std::intptr_t>(step.numbers[0])), HostEventTimer);
        break;
    case Step::Kind::Revertive: {
        RevertiveRecord record = {step.numbers[0], step.numbers[1], step.numbers[2]};
        call(&record, HostEventRevertive);
        break;
    }
    case Step::Kind::Aux: {
        std::string data = step.text ? *step.text : std::string();
        call(&data[0], HostEventAux);
        break;
    }
    default:
        break;
    }
}

std::string Session::expand(const std::string& text) const {
    std::string out = text;
    const std::string marker = "{ui}";
    for (std::size_t at = out.find(marker); at != std::string::npos;
         at = out.find(marker, at + m_options.ui.size())) {
        out.replace(at, marker.size(), m_options.ui);
    }
    return out;
}

void Session::checkExpectations() {
    if (m_pending.empty()) {
        return;
    }
    const std::vector<Item> pending = std::move(m_pending);
    m_pending.clear();
    // List expectations gather all their lines after one step into one list.
    using Kind = Expectation::Kind;
    std::vector<const Item*> sent, events, debug, breaches;
    for (const Item& item : pending) {
        switch (std::get<Expectation>(item.what).kind) {
        case Kind::Sent:
            sent.push_back(&item);
            break;
        case Kind::Event:
            events.push_back(&item);
            break;
        case Kind::Debug:
            debug.push_back(&item);
            break;
        case Kind::Breach:
            breaches.push_back(&item);
            break;
        default:
            break;
        }
    }
    for (const Item& item : pending) {
        const Kind kind = std::get<Expectation>(item.what).kind;
        if (kind == Kind::Sent && &item == sent.front()) {
            expectList(sent, m_host.log().sent);
        } else if (kind == Kind::Event && &item == events.front()) {
            expectList(events, m_host.log().events);
        } else if (kind == Kind::Debug && &item == debug.front()) {
            std::string expected;
            for (const Item* line : debug) {
                expected += expand(std::get<Expectation>(line->what).text.value_or(""));
            }
            m_sink.emit({{"type", "expect"},
                         {"line", item.line},
                         {"what", "debug"},
                         {"held", expected == m_debugText},
                         {"expected", expected},
                         {"actual", m_debugText}});
        } else if (kind == Kind::Breach && &item == breaches.front()) {
            expectBreaches(breaches);
        } else if (kind != Kind::Sent && kind != Kind::Event && kind != Kind::Debug &&
                   kind != Kind::Breach) {
            expectOne(item);
        }
    }
}

void Session::expectList(const std::vector<const Item*>& group,
                         const std::vector<std::string>& actual) {
    std::vector<std::string> expected;
    for (const Item* item : group) {
        const Expectation& expectation = std::get<Expectation>(item->what);
        if (expectation.text) {
            expected.push_back(expand(*expectation.text));
        }
    }
    m_sink.emit({{"type", "expect"},
                 {"line", group.front()->line},
                 {"what", expectationKeyword(std::get<Expectation>(group.front()->what).kind)},
                 {"held", expected == actual},
                 {"expected", expected},
                 {"actual", actual}});
}

void Session::expectBreaches(const std::vector<const Item*>& group) {
    std::vector<std::string> seen;
    for (const Finding& finding : m_host.log().breaches) {
        seen.push_back(ruleInfo(finding.rule).id);
    }
    for (const Item* item : group) {
        const std::string& rule = std::get<Expectation>(item->what).rule;
        const auto found = std::find(seen.begin(), seen.end(), rule);
        const bool held = found != seen.end();
        if (held) {
            seen.erase(found);
        }
        std::vector<std::string> actual;
        for (const Finding& finding : m_host.log().breaches) {
            actual.push_back(ruleInfo(finding.rule).id);
        }
        m_sink.emit({{"type", "expect"},
                     {"line", item->line},
                     {"what", "breach"},
                     {"held", held},
                     {"rule", rule},
                     {"step", m_host.line()},
                     {"expected", rule},
                     {"actual", join(actual, " ")}});
    }
}

void Session::expectOne(const Item& item) {
    const Expectation& expectation = std::get<Expectation>(item.what);
    json record = {
        {"type", "expect"}, {"line", item.line}, {"what", expectationKeyword(expectation.kind)}};
    json expected;
    json actual;
    switch (expectation.kind) {
    case Expectation::Kind::Reply:
        expected = expectation.text ? json(expand(*expectation.text)) : json(nullptr);
        actual = optionalText(m_reply);
        break;
    case Expectation::Kind::Property: {
        record["panel"] = expectation.panel;
        record["control"] = expectation.control;
        record["property"] = expectation.property;
        expected = expectation.text ? json(expand(*expectation.text)) : json(nullptr);
        const Panel* panel = m_world.panel(expectation.panel);
        const Control* control =
            panel != nullptr ? panel->layout.find(expectation.control) : nullptr;
        const std::string* value =
            control != nullptr ? control->find(expectation.property) : nullptr;
        actual = value != nullptr ? json(*value) : json(nullptr);
        break;
    }
    default: {
        std::vector<int> want = expectation.numbers;
        std::vector<int> have = expectation.kind == Expectation::Kind::Routers
                                    ? m_world.registeredRouters()
                                    : m_world.runningTimers();
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        expected = want;
        actual = have;
    }
    }
    record["held"] = expected == actual;
    record["expected"] = expected;
    record["actual"] = actual;
    m_sink.emit(record);
}

void Session::emitPanel(const std::string& name) {
    const Panel* panel = m_world.panel(name);
    if (panel == nullptr) {
        return;
    }
    json controls = json::array();
    for (const Control& control : panel->layout.controls) {
        json properties = json::array();
        for (const auto& entry : control.properties) {
            properties.push_back({entry.first, entry.second});
        }
        controls.push_back({{"name", control.name}, {"properties", properties}});
    }
    m_sink.emit(
        {{"type", "panel"}, {"panel", name}, {"source", panel->source}, {"controls", controls}});
}
