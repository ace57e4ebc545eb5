#include "host/Session.h"

#include "EscapedException.h"
#include "HostEvents.h"
#include "ProcessCounts.h"
#include "host/UnknownControl.h"

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
    : m_options(options), m_sink(sink), m_breachIds(options.firstBreach),
      m_checker(options.ui, sink) {
    m_checker.setCheckControls(options.checkControls);
    addInstance(std::string());
}

Session::~Session() {
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (each->component != nullptr) {
            destroy(*each);
        }
    }
    // Threads the component left running (TH3) still run its code.
    if (m_library && process_counts::runningThreads() > m_threadsBeforeLibrary) {
        m_library->keepLoaded();
    }
}

bool Session::open(std::string& error) {
    m_settings.reset(new ConfigFolder());
    if (!m_settings->problem().empty()) {
        error = ownFailureMessage("cannot make the component's configuration folder: " +
                                  m_settings->problem());
        m_ownFailure = true;
        return false;
    }
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
    m_sink.emit(
        StartRecord{m_options.library, m_options.ui, m_options.scenario, m_options.restart});
    return true;
}

void Session::addInstance(const std::string& name) {
    m_instances.emplace_back(new Instance(m_world, m_sink, name, m_breachIds, m_options.keep));
    Panels& panels = m_instances.back()->host.panels();
    for (const Fact& fact : m_sharedControls) {
        panels.setControlProperty(fact.panel, fact.control, fact.property, *fact.value);
    }
}

Session::Instance& Session::instance(const std::string& name) {
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (each->host.instance() == name) {
            return *each;
        }
    }
    return *m_instances.front();
}

StepOutcome Session::outcome(const std::string& name) {
    Instance& of = instance(name);
    return StepOutcome{of.host.log(), of.debug,         of.reply,
                       m_world,       of.host.panels(), of.host.registeredRouters()};
}

void Session::apply(const Item& item, long event) {
    if (!m_fatal.empty()) {
        return;
    }
    const auto outcomeOf = [this](const std::string& name) { return outcome(name); };
    if (std::holds_alternative<Expectation>(item.what)) {
        m_checker.add(item, outcomeOf);
        return;
    }
    m_checker.check(outcomeOf);
    if (const Fact* fact = std::get_if<Fact>(&item.what)) {
        applyFact(*fact, item);
        return;
    }
    play(std::get<Step>(item.what), item, event);
}

void Session::play(const Step& step, const Item& item, long event) {
    // The step's instance, or none for a step of every instance.
    Instance* const only = item.every ? nullptr : &instance(item.instance);
    const auto isTarget = [only](const Instance* each) { return only == nullptr || each == only; };
    const bool ownLife = step.kind == Step::Kind::Load || step.kind == Step::Kind::Destroy;
    const Step loadStep;
    // Children named and never created are created first, in the order named;
    // a load or destroy of the step's own sees to its child itself.
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (m_named && !each->begun && !(ownLife && isTarget(each.get()))) {
            runStep(*each, loadStep, item.line, How{true, nullptr, ""}, event);
            if (!m_fatal.empty()) {
                return;
            }
        }
    }
    // What each instance did since the scenario's last step starts anew.
    for (const std::unique_ptr<Instance>& each : m_instances) {
        each->host.beginStep(item.line);
        each->reply.reset();
        each->debug.clear();
    }
    m_checker.beginStep();
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (!isTarget(each.get())) {
            continue;
        }
        if (each->component == nullptr && !ownLife) {
            runStep(*each, loadStep, item.line, How{true, nullptr, ""}, event);
            if (!m_fatal.empty()) {
                return;
            }
        }
        runStep(*each, step, item.line, How(), event);
        if (!m_fatal.empty()) {
            return;
        }
    }
    if (!m_raised.empty()) {
        relay(item.line, event);
    }
}

void Session::relay(int line, long event) {
    int delivered = 0;
    while (!m_raised.empty() && m_fatal.empty()) {
        const std::pair<Instance*, std::string> raised = m_raised.front();
        m_raised.pop_front();
        const std::optional<Parent::Delivery> delivery = m_parent.answer(raised.second);
        if (!delivery) {
            continue;
        }
        Step command;
        command.kind = Step::Kind::Command;
        command.text = delivery->command;
        for (const std::unique_ptr<Instance>& each : m_instances) {
            if (each->component == nullptr || (each.get() == raised.first && !delivery->toRaiser)) {
                continue;
            }
            if (++delivered > MostDelivered) {
                m_fatal = "the parent delivered more than " + std::to_string(MostDelivered) +
                          " commands in answer to line " + std::to_string(line) +
                          ": its rules and the children answer each other without end";
                m_raised.clear();
                return;
            }
            runStep(*each, command, line, How{false, raised.first, raised.second}, event);
            if (!m_fatal.empty()) {
                return;
            }
        }
    }
}

void Session::checkWaiting() {
    if (m_fatal.empty()) {
        m_checker.check([this](const std::string& name) { return outcome(name); });
    }
}

void Session::finish() {
    if (!m_fatal.empty()) {
        return;
    }
    m_checker.check([this](const std::string& name) { return outcome(name); });
    Step destroyStep;
    destroyStep.kind = Step::Kind::Destroy;
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (each->component != nullptr) {
            runStep(*each, destroyStep, 0, How{true, nullptr, ""}, -1);
        }
    }
    // A thread of the library's own may still call the host after the last step.
    awaitThreads(m_threadsBeforeLibrary, nullptr);
    m_raised.clear();
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (const Panel* panel = each->host.panels().panel("1")) {
            emitPanel(*each, "1", *panel);
        }
    }
}

void Session::emitWritten(const Instance& instance, int line, const std::string& debug) {
    if (!debug.empty()) {
        m_sink.emit(DebugRecord{line, debug, instance.host.instance()});
    }
    if (m_output) {
        for (const OutputTap::Text& output : m_output->take()) {
            m_sink.emit(OutputRecord{line, output.stream, output.text, instance.host.instance()});
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
    if (m_stepLine && m_stepInstance != nullptr) {
        const int line = *m_stepLine;
        m_stepLine.reset();
        emitWritten(*m_stepInstance, line, m_debug.end());
    }
}

void Session::applyFact(const Fact& fact, const Item& item) {
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
        if (!item.instance.empty()) {
            instance(item.instance)
                .host.panels()
                .setControlProperty(fact.panel, fact.control, fact.property, *fact.value);
            break;
        }
        m_sharedControls.push_back(fact);
        for (const std::unique_ptr<Instance>& each : m_instances) {
            each->host.panels().setControlProperty(fact.panel, fact.control, fact.property,
                                                   *fact.value);
        }
        break;
    case Fact::Kind::Answer:
        if (fact.backToWorld) {
            m_world.clearAnswer(fact.object);
        } else {
            m_world.setAnswer(fact.object, fact.value);
        }
        break;
    case Fact::Kind::Child:
        // The unnamed instance stands for a scenario that names none; the first
        // child named takes its place before anything was played on it.
        if (!m_named && !m_instances.front()->begun) {
            m_instances.clear();
        }
        m_named = true;
        addInstance(fact.object);
        break;
    case Fact::Kind::Parent:
        m_parent.setRule(fact.object, fact.relay, fact.value);
        break;
    }
}

void Session::runStep(Instance& instance, const Step& step, int line, const How& how, long event) {
    StepRecord record;
    record.line = line;
    record.step = step.kind;
    record.text = step.text;
    record.implicit = how.implicit;
    record.event = event;
    if (step.kind == Step::Kind::Press) {
        record.panel = step.panel;
        record.control = step.control;
    }
    record.numbers.assign(step.numbers, step.numbers + stepWord(step.kind).numbers);
    record.instance = instance.host.instance();
    if (how.raisedBy != nullptr) {
        record.relayed = how.raised;
        record.raisedBy = how.raisedBy->host.instance();
    }
    m_sink.emit(record);
    if (m_options.checkControls && step.kind == Step::Kind::Press) {
        // Played all the same: what the component does with it is still its own.
        if (auto problem = unknownControl(instance.host.panels(), line, step.panel, step.control)) {
            problem->instance = instance.host.instance();
            m_sink.emit(*problem);
        }
    }
    std::map<std::string, Panel> before;
    if (m_options.states) {
        before = instance.host.panels().all();
    }
    // A step the parent delivered goes on with what its instance did since the
    // scenario's step; any other starts it anew.
    if (how.raisedBy != nullptr) {
        instance.host.continueStep(line);
    } else {
        instance.host.beginStep(line, how.implicit);
        instance.reply.reset();
        instance.debug.clear();
    }
    m_debug.begin();
    m_stepLine = line;
    m_stepInstance = &instance;
    const auto began = std::chrono::steady_clock::now();
    switch (step.kind) {
    case Step::Kind::Load:
        load(instance);
        break;
    case Step::Kind::Destroy:
        instance.begun = true;
        if (instance.component != nullptr) {
            destroy(instance);
        }
        break;
    default:
        deliver(instance, step);
    }
    const long micros = static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - began)
                                              .count());
    // The host's own wait for the component's threads is no time of the step's.
    if (m_lastDestroyed != nullptr) {
        Instance* destroyed = m_lastDestroyed;
        m_lastDestroyed = nullptr;
        awaitThreads(m_threadsBeforeCreate, destroyed);
    }
    m_stepLine.reset();
    m_stepInstance = nullptr;
    const std::string debug = m_debug.end();
    instance.debug += debug;
    if (step.kind == Step::Kind::Command) {
        m_sink.emit(ReplyRecord{line, instance.reply, instance.host.instance()});
    }
    emitWritten(instance, line, debug);
    if (m_options.states) {
        emitState(instance, line, before);
    }
    m_sink.emit(EndRecord{line, micros, instance.host.instance()});
    std::vector<std::string>& raised = instance.host.raised();
    for (std::string& each : raised) {
        m_raised.emplace_back(&instance, std::move(each));
    }
    raised.clear();
}

char* Session::call(Instance& instance, ContractChecker::Call kind, int type,
                    const std::function<char*()>& body) {
    m_calling = kind == ContractChecker::Call::Create    ? "the factory"
                : kind == ContractChecker::Call::Destroy ? "the destructor"
                                                         : "handleHostEvent";
    instance.host.beginCall(kind, type);
    char* result = nullptr;
    try {
        result = body();
    } catch (...) {
        exceptionEscaped(describeCurrentException());
    }
    instance.host.endCall(kind == ContractChecker::Call::Event ? result : nullptr);
    m_calling = nullptr;
    return result;
}

void Session::exceptionEscaped(const std::string& what) {
    SimulatedHost& host =
        m_stepInstance != nullptr ? m_stepInstance->host : m_instances.front()->host;
    host.report(ContractChecker::exceptionEscaped(
        m_calling != nullptr ? m_calling : "the component", what));
}

char* Session::event(Instance& instance, int type, const std::function<char*()>& body) {
    return call(instance, ContractChecker::Call::Event, type, body);
}

void Session::load(Instance& instance) {
    if (instance.component != nullptr) {
        destroy(instance);
    }
    instance.begun = true;
    tarn_client_callback* component = nullptr;
    if (!anyLive()) {
        m_threadsBeforeCreate = process_counts::runningThreads();
    }
    call(instance, ContractChecker::Call::Create, 0, [&]() -> char* {
        component = m_library->factory()(&instance.host, m_options.ui.c_str());
        return nullptr;
    });
    instance.component = component;
    if (instance.component == nullptr) {
        m_fatal = "load_tarn_client_script of " + m_options.library + " returned no component";
    }
}

void Session::destroy(Instance& instance) {
    tarn_client_callback* component = instance.component;
    instance.component = nullptr;
    call(instance, ContractChecker::Call::Destroy, 0, [&]() -> char* {
        tarn_destroy_component(component);
        return nullptr;
    });
    // Threads of the component are told only once no instance of it lives.
    if (!anyLive()) {
        m_lastDestroyed = &instance;
    }
}

bool Session::anyLive() const {
    for (const std::unique_ptr<Instance>& each : m_instances) {
        if (each->component != nullptr) {
            return true;
        }
    }
    return false;
}

void Session::awaitThreads(int baseline, Instance* left) {
    int threads = process_counts::runningThreads();
    if (threads <= baseline) {
        return;
    }
    const auto until = std::chrono::steady_clock::now() + ThreadGrace;
    while (threads > baseline && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        threads = process_counts::runningThreads();
    }
    for (const std::unique_ptr<Instance>& each : m_instances) {
        each->host.collectLate();
    }
    if (left != nullptr && threads > baseline) {
        const int running = threads - baseline;
        left->host.report({Rule::ThreadLeftRunning, "",
                           std::to_string(running) + (running == 1 ? " thread" : " threads") +
                               " that the component started still ran " +
                               std::to_string(ThreadGrace.count()) +
                               " ms after its destructor returned: a host unloads the library "
                               "under them"});
    }
}

void Session::deliver(Instance& instance, const Step& step) {
    tarn_client_callback& component = *instance.component;
    switch (step.kind) {
    case Step::Kind::Command: {
        char* reply = event(instance, HostEventParentCommand, [&] {
            return host_events::parentCommand(component, step.text ? step.text->c_str() : nullptr);
        });
        if (reply != nullptr) {
            // The host copies the reply, then hands the array back to be released
            // inside the library that allocated it.
            instance.reply = std::string(reply);
            event(instance, HostEventReplyGivenBack,
                  [&] { return host_events::giveBack(component, reply); });
        } else {
            instance.reply.reset();
        }
        break;
    }
    case Step::Kind::Press:
        event(instance, HostEventButton, [&] {
            return host_events::press(component, step.panel.c_str(), step.control.c_str(),
                                      step.text ? step.text->c_str() : "");
        });
        break;
    case Step::Kind::DatabaseChange: {
        // The record holds the whole name, however long, up to the NUL it ends
        // with; a name with a NUL in it ends there, as the host's texts do.
        const std::string name = step.text.value_or("").c_str();
        m_world.setName(step.numbers[0], step.numbers[1], step.numbers[2], name);
        event(instance, HostEventDatabaseChange, [&] {
            return host_events::databaseChange(component, step.numbers[0], step.numbers[1],
                                               step.numbers[2], name);
        });
        break;
    }
    case Step::Kind::Timer:
        m_world.startTimer(step.numbers[0]);
        event(instance, HostEventTimer,
              [&] { return host_events::timer(component, step.numbers[0]); });
        break;
    case Step::Kind::Revertive:
        event(instance, HostEventRevertive, [&] {
            return host_events::revertive(component, step.numbers[0], step.numbers[1],
                                          step.numbers[2]);
        });
        break;
    case Step::Kind::Aux: {
        std::string data = step.text ? *step.text : std::string();
        event(instance, HostEventAux, [&] { return host_events::aux(component, &data[0]); });
        break;
    }
    case Step::Kind::Event: {
        // A type with no data: the types no host sends, and null records.
        const int type = step.numbers[0];
        char* result =
            event(instance, type, [&] { return host_events::raw(component, nullptr, type); });
        if (type == HostEventParentCommand && result != nullptr) {
            event(instance, HostEventReplyGivenBack,
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

void Session::emitPanel(const Instance& instance, const std::string& name, const Panel& panel) {
    PanelRecord record = panelRecord(name, panel);
    record.instance = instance.host.instance();
    m_sink.emit(record);
}

void Session::emitState(const Instance& instance, int line,
                        const std::map<std::string, Panel>& before) {
    StateRecord record;
    record.line = line;
    record.instance = instance.host.instance();
    // A property changed when its value differs from before the step, or when
    // its panel is new or was loaded from another layout file.
    for (const auto& entry : instance.host.panels().all()) {
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
    record.routers = instance.host.registeredRouters();
    record.timers = m_world.runningTimers();
    m_sink.emit(record);
}

void Session::emitShow() {
    for (const std::unique_ptr<Instance>& each : m_instances) {
        for (const auto& entry : each->host.panels().all()) {
            emitPanel(*each, entry.first, entry.second);
        }
        TerminalRecord record;
        record.what = TerminalRecord::What::Show;
        record.routers = each->host.registeredRouters();
        record.timers = m_world.runningTimers();
        record.loaded = each->component != nullptr;
        record.instance = each->host.instance();
        m_sink.emit(record);
    }
}
