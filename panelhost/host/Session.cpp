#include "host/Session.h"

#include "HostEvents.h"

#include <chrono>

Session::Session(const SessionOptions& options, RecordSink& sink)
    : m_options(options), m_sink(sink), m_host(m_world, sink), m_checker(options.ui, sink) {}

Session::~Session() {
    if (m_component != nullptr) {
        destroy();
    }
}

bool Session::open(std::string& error) {
    m_settings.reset(new ConfigFolder());
    m_library = ComponentLibrary::open(m_options.library, error);
    if (!m_library) {
        return false;
    }
    m_sink.emit(StartRecord{m_options.library, m_options.ui, m_options.scenario});
    return true;
}

void Session::apply(const Item& item, long event) {
    if (!m_fatal.empty()) {
        return;
    }
    m_lastLine = item.line;
    if (std::holds_alternative<Expectation>(item.what)) {
        m_checker.add(item, outcome());
        return;
    }
    m_checker.check(outcome());
    if (const Fact* fact = std::get_if<Fact>(&item.what)) {
        applyFact(*fact);
        return;
    }
    const Step& step = std::get<Step>(item.what);
    if (m_component == nullptr && step.kind != Step::Kind::Load &&
        step.kind != Step::Kind::Destroy) {
        runStep(Step(), item.line, true, event);
        if (!m_fatal.empty()) {
            return;
        }
    }
    runStep(step, item.line, false, event);
}

void Session::finish() {
    if (!m_fatal.empty()) {
        return;
    }
    m_checker.check(outcome());
    if (m_component != nullptr) {
        Step destroyStep;
        destroyStep.kind = Step::Kind::Destroy;
        runStep(destroyStep, m_lastLine, true, -1);
    }
    if (const Panel* panel = m_world.panel("1")) {
        emitPanel("1", *panel);
    }
}

StepOutcome Session::outcome() const {
    return StepOutcome{m_host.log(), m_debugText, m_reply, m_world};
}

void Session::applyFact(const Fact& fact) {
    switch (fact.kind) {
    case Fact::Kind::Setting:
        m_settings->setObjectSetting(fact.object, fact.id, *fact.value);
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

void Session::runStep(const Step& step, int line, bool implicit, long event) {
    StepRecord record;
    record.line = line;
    record.step = stepKeyword(step.kind);
    record.text = step.text;
    record.implicit = implicit;
    record.event = event;
    if (step.kind == Step::Kind::Press) {
        record.panel = step.panel;
        record.control = step.control;
    }
    if (step.kind == Step::Kind::Timer || step.kind == Step::Kind::Event) {
        record.numbers = {step.numbers[0]};
    } else if (step.kind == Step::Kind::DatabaseChange || step.kind == Step::Kind::Revertive) {
        record.numbers.assign(step.numbers, step.numbers + 3);
    }
    m_sink.emit(record);
    std::map<std::string, Panel> before;
    if (m_options.states) {
        before = m_world.panels();
    }
    m_host.beginStep(line);
    m_checker.beginStep();
    m_reply.reset();
    m_debug.begin();
    const auto began = std::chrono::steady_clock::now();
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
    const long micros = static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - began)
                                              .count());
    m_debugText = m_debug.end();
    if (step.kind == Step::Kind::Command) {
        m_sink.emit(ReplyRecord{line, m_reply});
    }
    if (!m_debugText.empty()) {
        m_sink.emit(DebugRecord{line, m_debugText});
    }
    if (m_options.states) {
        emitState(line, before);
    }
    m_sink.emit(EndRecord{line, micros});
}

char* Session::guarded(const char* what, const std::function<char*()>& call) {
    char* result = nullptr;
    try {
        result = call();
    } catch (...) {
        m_host.report({Rule::ExceptionEscaped, "", std::string(what) + " threw"});
    }
    m_host.endEvent();
    return result;
}

void Session::load() {
    if (m_component != nullptr) {
        destroy();
    }
    m_host.beginLife();
    tarn_client_callback* component = nullptr;
    guarded("the factory", [&]() -> char* {
        component = m_library->factory()(&m_host, m_options.ui.c_str());
        return nullptr;
    });
    m_component = component;
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

void Session::noResult(char* result, int type) {
    if (result != nullptr) {
        m_host.report({Rule::ResultForNonCommand, "",
                       "event type " + std::to_string(type) + " was answered with a result"});
    }
}

void Session::deliver(const Step& step) {
    tarn_client_callback& component = *m_component;
    const char* const handler = "handleHostEvent";
    switch (step.kind) {
    case Step::Kind::Command: {
        char* reply = guarded(handler, [&] {
            return host_events::parentCommand(component, step.text ? step.text->c_str() : nullptr);
        });
        if (reply != nullptr && *reply == '\0') {
            m_host.report({Rule::EmptyReply, "", "the reply is an empty text, not none"});
        }
        if (reply != nullptr) {
            // The host copies the reply, then hands the array back to be released
            // inside the library that allocated it.
            m_reply = std::string(reply);
            noResult(guarded(handler, [&] { return host_events::giveBack(component, reply); }),
                     HostEventReplyGivenBack);
        }
        break;
    }
    case Step::Kind::Press:
        noResult(guarded(handler,
                         [&] {
                             return host_events::press(component, step.panel.c_str(),
                                                       step.control.c_str(),
                                                       step.text ? step.text->c_str() : "");
                         }),
                 HostEventButton);
        break;
    case Step::Kind::DatabaseChange: {
        // The record holds the whole name, however long, up to the NUL it ends
        // with; a name with a NUL in it ends there, as the host's texts do.
        const std::string name = step.text.value_or("").c_str();
        m_world.setName(step.numbers[0], step.numbers[1], step.numbers[2], name);
        noResult(guarded(handler,
                         [&] {
                             return host_events::databaseChange(component, step.numbers[0],
                                                                step.numbers[1], step.numbers[2],
                                                                name);
                         }),
                 HostEventDatabaseChange);
        break;
    }
    case Step::Kind::Timer:
        m_world.startTimer(step.numbers[0]);
        noResult(guarded(handler, [&] { return host_events::timer(component, step.numbers[0]); }),
                 HostEventTimer);
        break;
    case Step::Kind::Revertive:
        noResult(guarded(handler,
                         [&] {
                             return host_events::revertive(component, step.numbers[0],
                                                           step.numbers[1], step.numbers[2]);
                         }),
                 HostEventRevertive);
        break;
    case Step::Kind::Aux: {
        std::string data = step.text ? *step.text : std::string();
        noResult(guarded(handler, [&] { return host_events::aux(component, &data[0]); }),
                 HostEventAux);
        break;
    }
    case Step::Kind::Event: {
        // A type with no data: the types no host sends, and null records.
        const int type = step.numbers[0];
        char* result = guarded(handler, [&] { return host_events::raw(component, nullptr, type); });
        if (type == HostEventParentCommand && result != nullptr) {
            guarded(handler, [&] { return host_events::giveBack(component, result); });
        } else {
            noResult(result, type);
        }
        break;
    }
    default:
        break;
    }
}

namespace {

PanelRecord panelRecord(const std::string& name, const Panel& panel) {
    PanelRecord record;
    record.panel = name;
    record.source = panel.source;
    for (const Control& control : panel.layout.controls) {
        record.controls.push_back({control.name, control.properties});
    }
    return record;
}

} // namespace

void Session::emitPanel(const std::string& name, const Panel& panel) {
    m_sink.emit(panelRecord(name, panel));
}

void Session::emitState(int line, const std::map<std::string, Panel>& before) {
    StateRecord record;
    record.line = line;
    // A property changed when its value differs from before the step, or when
    // its panel is new or was loaded from another layout file.
    for (const auto& entry : m_world.panels()) {
        const auto was = before.find(entry.first);
        for (const Control& control : entry.second.layout.controls) {
            const Control* old = was == before.end() || was->second.source != entry.second.source
                                     ? nullptr
                                     : was->second.layout.find(control.name);
            for (const auto& property : control.properties) {
                const std::string* value = old != nullptr ? old->find(property.first) : nullptr;
                if (value == nullptr || *value != property.second) {
                    record.changed.push_back({entry.first, control.name, property.first});
                }
            }
        }
        record.panels.push_back(panelRecord(entry.first, entry.second));
    }
    record.routers = m_world.registeredRouters();
    record.timers = m_world.runningTimers();
    m_sink.emit(record);
}

void Session::emitShow() {
    for (const auto& entry : m_world.panels()) {
        emitPanel(entry.first, entry.second);
    }
    TerminalRecord record;
    record.what = "show";
    record.routers = m_world.registeredRouters();
    record.timers = m_world.runningTimers();
    record.loaded = m_component != nullptr;
    m_sink.emit(record);
}
