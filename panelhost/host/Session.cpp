#include "host/Session.h"

#include "EscapedException.h"
#include "HostEvents.h"
#include "ProcessCounts.h"

#include <chrono>
#include <thread>

namespace {

// A failure of panelhost's own input or output, told apart from the component's.
std::string ownFailureMessage(const std::string& problem) {
    return problem + "; the run was stopped (panelhost's own failure, not the component's)";
}

std::string uncaptured(const std::string& problem) {
    return ownFailureMessage("cannot capture what the component writes: " + problem);
}

// How long the component's threads get to end after its destruction, or to
// show a late call after the last step.
const auto ThreadGrace = std::chrono::milliseconds(100);

} // namespace

Session::Session(const SessionOptions& options, RecordSink& sink)
    : m_options(options), m_sink(sink), m_host(m_world, sink, options.keep),
      m_checker(options.ui, sink) {}

Session::~Session() {
    if (m_component != nullptr) {
        destroy();
    }
}

bool Session::open(std::string& error) {
    m_settings.reset(new ConfigFolder());
    m_output.reset(new OutputTap());
    if (!m_output->problem().empty()) {
        error = uncaptured(m_output->problem());
        m_ownFailure = true;
        return false;
    }
    m_threadsBeforeLibrary = process_counts::runningThreads();
    m_library = ComponentLibrary::open(m_options.library, error, &m_loaderRefused);
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
    // A thread of the library's own may still call the host after the last step.
    awaitThreads(m_threadsBeforeLibrary, false);
    if (const Panel* panel = m_world.panel("1")) {
        emitPanel("1", *panel);
    }
}

void Session::emitWritten(int line, const std::string& debug) {
    if (!debug.empty()) {
        m_sink.emit(DebugRecord{line, debug});
    }
    if (m_output) {
        for (const OutputTap::Text& output : m_output->take()) {
            m_sink.emit(OutputRecord{line, output.stream, output.text});
        }
    }
    // What the component wrote is no longer all there: the run cannot go on
    // and say what the component did.
    for (const std::string& problem : {m_debug.problem(), m_output ? m_output->problem() : ""}) {
        if (!problem.empty() && m_fatal.empty()) {
            m_fatal = uncaptured(problem);
            m_ownFailure = true;
        }
    }
}

void Session::salvage() {
    if (m_stepLine != 0) {
        const int line = m_stepLine;
        m_stepLine = 0;
        emitWritten(line, m_debug.end());
    }
}

StepOutcome Session::outcome() const {
    return StepOutcome{m_host.log(), m_debugText, m_reply, m_world, m_host.registeredRouters()};
}

void Session::applyFact(const Fact& fact) {
    switch (fact.kind) {
    case Fact::Kind::Setting:
        if (!m_settings->setObjectSetting(fact.object, fact.id, *fact.value) && m_fatal.empty()) {
            m_fatal = ownFailureMessage("cannot write the component's configuration to " +
                                        m_settings->root());
            m_ownFailure = true;
        }
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
    record.step = step.kind;
    record.text = step.text;
    record.implicit = implicit;
    record.event = event;
    if (step.kind == Step::Kind::Press) {
        record.panel = step.panel;
        record.control = step.control;
    }
    record.numbers.assign(step.numbers, step.numbers + stepWord(step.kind).numbers);
    m_sink.emit(record);
    std::map<std::string, Panel> before;
    if (m_options.states) {
        before = m_world.panels();
    }
    m_host.beginStep(line);
    m_checker.beginStep();
    m_reply.reset();
    m_debug.begin();
    m_stepLine = line;
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
    // The host's own wait for the component's threads is no time of the step's.
    if (m_destroyed) {
        m_destroyed = false;
        awaitThreads(m_threadsBeforeCreate, true);
    }
    m_stepLine = 0;
    m_debugText = m_debug.end();
    if (step.kind == Step::Kind::Command) {
        m_sink.emit(ReplyRecord{line, m_reply});
    }
    emitWritten(line, m_debugText);
    if (m_options.states) {
        emitState(line, before);
    }
    m_sink.emit(EndRecord{line, micros});
}

char* Session::call(ContractChecker::Call kind, int type, const std::function<char*()>& body) {
    m_calling = kind == ContractChecker::Call::Create    ? "the factory"
                : kind == ContractChecker::Call::Destroy ? "the destructor"
                                                         : "handleHostEvent";
    m_host.beginCall(kind, type);
    char* result = nullptr;
    try {
        result = body();
    } catch (...) {
        exceptionEscaped(describeCurrentException());
    }
    m_host.endCall(kind == ContractChecker::Call::Event ? result : nullptr);
    m_calling = nullptr;
    return result;
}

void Session::exceptionEscaped(const std::string& what) {
    m_host.report(ContractChecker::exceptionEscaped(
        m_calling != nullptr ? m_calling : "the component", what));
}

char* Session::event(int type, const std::function<char*()>& body) {
    return call(ContractChecker::Call::Event, type, body);
}

void Session::load() {
    if (m_component != nullptr) {
        destroy();
    }
    tarn_client_callback* component = nullptr;
    m_threadsBeforeCreate = process_counts::runningThreads();
    call(ContractChecker::Call::Create, 0, [&]() -> char* {
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
    call(ContractChecker::Call::Destroy, 0, [&]() -> char* {
        tarn_destroy_component(component);
        return nullptr;
    });
    m_destroyed = true;
}

void Session::awaitThreads(int baseline, bool leftIsBreach) {
    int threads = process_counts::runningThreads();
    if (threads <= baseline) {
        return;
    }
    const auto until = std::chrono::steady_clock::now() + ThreadGrace;
    while (threads > baseline && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        threads = process_counts::runningThreads();
    }
    m_host.collectLate();
    if (leftIsBreach && threads > baseline) {
        const int left = threads - baseline;
        m_host.report({Rule::ThreadLeftRunning, "",
                       std::to_string(left) + (left == 1 ? " thread" : " threads") +
                           " that the component started still ran " +
                           std::to_string(ThreadGrace.count()) +
                           " ms after its destructor returned: a host unloads the library "
                           "under them"});
    }
}

void Session::deliver(const Step& step) {
    tarn_client_callback& component = *m_component;
    switch (step.kind) {
    case Step::Kind::Command: {
        char* reply = event(HostEventParentCommand, [&] {
            return host_events::parentCommand(component, step.text ? step.text->c_str() : nullptr);
        });
        if (reply != nullptr) {
            // The host copies the reply, then hands the array back to be released
            // inside the library that allocated it.
            m_reply = std::string(reply);
            event(HostEventReplyGivenBack, [&] { return host_events::giveBack(component, reply); });
        }
        break;
    }
    case Step::Kind::Press:
        event(HostEventButton, [&] {
            return host_events::press(component, step.panel.c_str(), step.control.c_str(),
                                      step.text ? step.text->c_str() : "");
        });
        break;
    case Step::Kind::DatabaseChange: {
        // The record holds the whole name, however long, up to the NUL it ends
        // with; a name with a NUL in it ends there, as the host's texts do.
        const std::string name = step.text.value_or("").c_str();
        m_world.setName(step.numbers[0], step.numbers[1], step.numbers[2], name);
        event(HostEventDatabaseChange, [&] {
            return host_events::databaseChange(component, step.numbers[0], step.numbers[1],
                                               step.numbers[2], name);
        });
        break;
    }
    case Step::Kind::Timer:
        m_world.startTimer(step.numbers[0]);
        event(HostEventTimer, [&] { return host_events::timer(component, step.numbers[0]); });
        break;
    case Step::Kind::Revertive:
        event(HostEventRevertive, [&] {
            return host_events::revertive(component, step.numbers[0], step.numbers[1],
                                          step.numbers[2]);
        });
        break;
    case Step::Kind::Aux: {
        std::string data = step.text ? *step.text : std::string();
        event(HostEventAux, [&] { return host_events::aux(component, &data[0]); });
        break;
    }
    case Step::Kind::Event: {
        // A type with no data: the types no host sends, and null records.
        const int type = step.numbers[0];
        char* result = event(type, [&] { return host_events::raw(component, nullptr, type); });
        if (type == HostEventParentCommand && result != nullptr) {
            event(HostEventReplyGivenBack,
                  [&] { return host_events::giveBack(component, result); });
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
    record.routers = m_host.registeredRouters();
    record.timers = m_world.runningTimers();
    m_sink.emit(record);
}

void Session::emitShow() {
    for (const auto& entry : m_world.panels()) {
        emitPanel(entry.first, entry.second);
    }
    TerminalRecord record;
    record.what = TerminalRecord::What::Show;
    record.routers = m_host.registeredRouters();
    record.timers = m_world.runningTimers();
    record.loaded = m_component != nullptr;
    m_sink.emit(record);
}
