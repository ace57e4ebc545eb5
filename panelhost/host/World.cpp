#include "host/World.h"

void World::setName(int device, int database, int index, const std::optional<std::string>& text) {
    const auto key = std::make_tuple(device, database, index);
    if (text) {
        m_names[key] = *text;
    } else {
        m_names.erase(key);
    }
}

void World::setInstance(const std::string& name, const std::optional<std::string>& reply) {
    if (reply) {
        m_instances[name] = *reply;
    } else {
        m_instances.erase(name);
    }
}

void World::setControlProperty(const std::string& panel, const std::string& control,
                               const std::string& property, const std::string& value) {
    UiLayout& layout = m_panels[panel].layout;
    Control* found = layout.find(control);
    if (found == nullptr) {
        layout.controls.push_back(Control{control, {}});
        found = &layout.controls.back();
    }
    found->set(property, value);
    UiLayout& scripted = m_scripted[panel];
    if (scripted.find(control) == nullptr) {
        scripted.controls.push_back(Control{control, {}});
    }
    scripted.find(control)->set(property, value);
}

void World::setAnswer(const std::string& prefix, const std::optional<std::string>& reply) {
    clearAnswer(prefix);
    m_answers.emplace_back(prefix, reply);
}

void World::clearAnswer(const std::string& prefix) {
    for (auto it = m_answers.begin(); it != m_answers.end(); ++it) {
        if (it->first == prefix) {
            m_answers.erase(it);
            return;
        }
    }
}

const Panel* World::panel(const std::string& name) const {
    const auto found = m_panels.find(name);
    return found == m_panels.end() ? nullptr : &found->second;
}

std::vector<int> World::runningTimers() const {
    std::vector<int> ids;
    for (const auto& entry : m_timers) {
        ids.push_back(entry.first);
    }
    return ids;
}

std::optional<std::string> World::name(int device, int database, int index) const {
    const auto found = m_names.find(std::make_tuple(device, database, index));
    if (found == m_names.end()) {
        return std::nullopt;
    }
    return found->second;
}

CommandOutcome World::execute(const std::string& text, const ParsedCommand& command) {
    CommandOutcome outcome;
    const std::string& code = command.code;
    int number = 0;
    if (code == "PS") {
        outcome = loadPanel(command);
    } else if (code == "TP") {
        outcome = setProperty(command);
    } else if (code == "TG") {
        outcome = getProperty(command);
    } else if (code == "XI") {
        outcome = listControls(command);
    } else if (code == "RN") {
        int database = 0;
        int index = 0;
        if (command.number(0, number) && command.number(1, database) && command.number(2, index)) {
            outcome.reply = name(number, database, index);
        }
    } else if (code == "SD") {
        const auto found = m_instances.find(command.text(0));
        if (found != m_instances.end()) {
            outcome.reply = found->second;
        }
    } else if (code == "ET" && command.number(0, number)) {
        if (m_timers.erase(number) == 0) {
            outcome.findings.push_back(
                {Rule::UnknownTimer, "", "timer " + std::to_string(number) + " is not running"});
        }
    }
    // A scripted answer replaces the reply, not what the command does.
    for (auto it = m_answers.rbegin(); it != m_answers.rend(); ++it) {
        if (text.compare(0, it->first.size(), it->first) == 0) {
            outcome.reply = it->second;
            break;
        }
    }
    return outcome;
}

CommandOutcome World::loadPanel(const ParsedCommand& command) {
    CommandOutcome outcome;
    Panel loaded;
    loaded.source = command.text(1);
    std::string error;
    if (!loadUiLayout(loaded.source, loaded.layout, error)) {
        outcome.findings.push_back({Rule::UiFileMissing, "", error});
        return outcome;
    }
    // The controls a scenario added that the layout does not have stay in the panel.
    const auto scripted = m_scripted.find(command.text(0));
    if (scripted != m_scripted.end()) {
        for (const Control& control : scripted->second.controls) {
            if (loaded.layout.find(control.name) == nullptr) {
                loaded.layout.controls.push_back(control);
            }
        }
    }
    m_panels[command.text(0)] = loaded;
    outcome.reply = "OK";
    return outcome;
}

Control* World::findControl(const std::string& panel, const std::string& control,
                            std::vector<Finding>& findings) {
    const auto found = m_panels.find(panel);
    if (found == m_panels.end()) {
        findings.push_back({Rule::UnknownPanel, "", "panel " + panel + " holds no UI"});
        return nullptr;
    }
    Control* result = found->second.layout.find(control);
    if (result == nullptr) {
        findings.push_back(
            {Rule::UnknownControl, "", "panel " + panel + " has no control " + control});
    }
    return result;
}

CommandOutcome World::setProperty(const ParsedCommand& command) {
    CommandOutcome outcome;
    const std::string assignment = command.text(0);
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos) {
        return outcome;
    }
    Control* control = findControl(command.text(1), command.text(2), outcome.findings);
    if (control == nullptr) {
        return outcome;
    }
    const std::string property = assignment.substr(0, equals);
    if (control->find(property) == nullptr) {
        outcome.findings.push_back({Rule::UnknownProperty, "",
                                    "control " + control->name + " has no property " + property});
    }
    control->set(property, assignment.substr(equals + 1));
    return outcome;
}

CommandOutcome World::getProperty(const ParsedCommand& command) {
    CommandOutcome outcome;
    const Control* control = findControl(command.text(0), command.text(1), outcome.findings);
    if (control == nullptr) {
        return outcome;
    }
    const std::string property = command.text(2);
    if (property == "all") {
        std::string all;
        for (const auto& entry : control->properties) {
            all += (all.empty() ? "" : "\n") + entry.first + "=" + entry.second;
        }
        outcome.reply = all;
        return outcome;
    }
    const std::string* value = control->find(property);
    if (value == nullptr) {
        outcome.findings.push_back({Rule::UnknownProperty, "",
                                    "control " + control->name + " has no property " + property});
        return outcome;
    }
    outcome.reply = property + "=" + *value;
    return outcome;
}

CommandOutcome World::listControls(const ParsedCommand& command) {
    CommandOutcome outcome;
    const auto found = m_panels.find(command.text(0));
    if (found == m_panels.end()) {
        outcome.findings.push_back(
            {Rule::UnknownPanel, "", "panel " + command.text(0) + " holds no UI"});
        return outcome;
    }
    const std::string prefix = command.text(1);
    std::string list;
    for (const Control& control : found->second.layout.controls) {
        if (control.name.compare(0, prefix.size(), prefix) == 0) {
            list += (list.empty() ? "" : ",") + control.name;
        }
    }
    if (!list.empty()) {
        outcome.reply = list;
    }
    return outcome;
}
