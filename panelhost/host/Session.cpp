#include "host/Session.h"

#include "HostEvents.h"
#include "host/ExpectedBreaches.h"
#include "output/Transcript.h"

#include <algorithm>
#include <chrono>

Session::Session(const SessionOptions& options, RecordSink& sink)
    : m_options(options), m_sink(sink), m_host(m_world, sink) {}

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
        m_pending.push_back(item);
        if (m_immediate) {
            checkExpectations();
        }
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
    checkExpectations();
    if (m_component != nullptr) {
        Step destroyStep;
        destroyStep.kind = Step::Kind::Destroy;
        runStep(destroyStep, m_lastLine, true, -1);
    }
    emitPanel("1");
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
    m_host.beginStep(line);
    m_sentChecked = 0;
    m_eventsChecked = 0;
    m_covered.clear();
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
            ExpectRecord record;
            record.line = item.line;
            record.what = "debug";
            record.held = expected == m_debugText;
            record.expected = ExpectValue::ofText(expected);
            record.actual = ExpectValue::ofText(m_debugText);
            m_sink.emit(record);
        } else if (kind == Kind::Breach && &item == breaches.front()) {
            std::vector<BreachRecord> open;
            for (const BreachRecord& breach : m_host.log().breaches) {
                if (m_covered.count(breach.id) == 0) {
                    open.push_back(breach);
                }
            }
            for (const ExpectRecord& record :
                 matchExpectedBreaches(breaches, open, m_host.line())) {
                m_covered.insert(record.covers);
                m_sink.emit(record);
            }
        } else if (kind != Kind::Sent && kind != Kind::Event && kind != Kind::Debug &&
                   kind != Kind::Breach) {
            expectOne(item);
        }
    }
}

void Session::expectList(const std::vector<const Item*>& group,
                         const std::vector<std::string>& all) {
    std::vector<std::string> actual = all;
    if (m_immediate) {
        // One line typed: it is the next entry of the step's list, or "none" for
        // a list that is empty.
        const bool sent =
            std::get<Expectation>(group.front()->what).kind == Expectation::Kind::Sent;
        std::size_t& checked = sent ? m_sentChecked : m_eventsChecked;
        const bool none = !std::get<Expectation>(group.front()->what).text;
        actual = none || checked >= all.size()
                     ? std::vector<std::string>(none ? all : std::vector<std::string>())
                     : std::vector<std::string>{all[checked]};
        checked += none ? 0 : 1;
    }
    std::vector<std::string> expected;
    for (const Item* item : group) {
        const Expectation& expectation = std::get<Expectation>(item->what);
        if (expectation.text) {
            expected.push_back(expand(*expectation.text));
        }
    }
    ExpectRecord record;
    record.line = group.front()->line;
    record.what = expectationKeyword(std::get<Expectation>(group.front()->what).kind);
    record.held = expected == actual;
    record.expected = ExpectValue::ofLines(expected);
    record.actual = ExpectValue::ofLines(actual);
    m_sink.emit(record);
}

void Session::expectOne(const Item& item) {
    const Expectation& expectation = std::get<Expectation>(item.what);
    ExpectRecord record;
    record.line = item.line;
    record.what = expectationKeyword(expectation.kind);
    switch (expectation.kind) {
    case Expectation::Kind::Reply:
        record.expected =
            expectation.text ? ExpectValue::ofText(expand(*expectation.text)) : ExpectValue::none();
        record.actual = ExpectValue::ofOptional(m_reply);
        break;
    case Expectation::Kind::Property: {
        record.panel = expectation.panel;
        record.control = expectation.control;
        record.property = expectation.property;
        record.expected =
            expectation.text ? ExpectValue::ofText(expand(*expectation.text)) : ExpectValue::none();
        const Panel* panel = m_world.panel(expectation.panel);
        const Control* control =
            panel != nullptr ? panel->layout.find(expectation.control) : nullptr;
        const std::string* value =
            control != nullptr ? control->find(expectation.property) : nullptr;
        record.actual = value != nullptr ? ExpectValue::ofText(*value) : ExpectValue::none();
        break;
    }
    default: {
        std::vector<int> want = expectation.numbers;
        std::vector<int> have = expectation.kind == Expectation::Kind::Routers
                                    ? m_world.registeredRouters()
                                    : m_world.runningTimers();
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        record.expected = ExpectValue::ofNumbers(want);
        record.actual = ExpectValue::ofNumbers(have);
    }
    }
    record.held = record.expected == record.actual;
    m_sink.emit(record);
}

PanelRecord Session::panelRecord(const std::string& name, const Panel& panel) {
    PanelRecord record;
    record.panel = name;
    record.source = panel.source;
    for (const Control& control : panel.layout.controls) {
        record.controls.push_back({control.name, control.properties});
    }
    return record;
}

void Session::emitPanel(const std::string& name) {
    if (const Panel* panel = m_world.panel(name)) {
        m_sink.emit(panelRecord(name, *panel));
    }
}

std::string Session::show() const {
    std::string out;
    for (const auto& entry : m_world.panels()) {
        out += renderRecord(panelRecord(entry.first, entry.second), false);
    }
    const auto list = [](const std::vector<int>& numbers) {
        std::string text;
        for (int number : numbers) {
            text += " " + std::to_string(number);
        }
        return text.empty() ? std::string(" none") : text;
    };
    out += "routers registered:" + list(m_world.registeredRouters()) + "\n";
    out += "timers running:" + list(m_world.runningTimers()) + "\n";
    out += std::string("component: ") + (m_component != nullptr ? "loaded" : "not loaded") + "\n";
    return out;
}
