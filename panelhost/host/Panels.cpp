#include "host/Panels.h"

void Panels::setControlProperty(const std::string& panel, const std::string& control,
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

const Panel* Panels::panel(const std::string& name) const {
    const auto found = m_panels.find(name);
    return found == m_panels.end() ? nullptr : &found->second;
}

bool Panels::execute(const ParsedCommand& command, CommandOutcome& outcome) {
    const std::string& code = command.code;
    if (code == "PS") {
        outcome = loadPanel(command);
    } else if (code == "TP") {
        outcome = setProperty(command);
    } else if (code == "TG") {
        outcome = getProperty(command);
    } else if (code == "XI") {
        outcome = listControls(command);
    } else {
        return false;
    }
    return true;
}

CommandOutcome Panels::loadPanel(const ParsedCommand& command) {
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

Control* Panels::findControl(const std::string& panel, const std::string& control,
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

CommandOutcome Panels::setProperty(const ParsedCommand& command) {
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

CommandOutcome Panels::getProperty(const ParsedCommand& command) {
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

CommandOutcome Panels::listControls(const ParsedCommand& command) {
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
