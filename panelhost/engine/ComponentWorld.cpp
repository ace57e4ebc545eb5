#include "engine/ComponentWorld.h"

#include "CommandSyntax.h"
#include "host/UiLayout.h"
#include "language/Text.h"

#include <algorithm>
#include <sstream>

const char* const ComponentWorld::InstanceKey = "instance";

void ComponentWorld::addKeys(const std::string& reply, CommandKeys& keys) {
    std::istringstream lines(reply);
    std::string entry;
    while (std::getline(lines, entry)) {
        const std::size_t end = entry.find_first_of(".=");
        const std::string key = entry.substr(0, end);
        if (key.empty()) {
            continue;
        }
        std::vector<std::string>& hints = keys[key];
        if (end == std::string::npos || entry[end] != '=') {
            continue;
        }
        const std::string value = entry.substr(end + 1);
        std::vector<std::string> found;
        if (value.size() >= 2 && value.front() == '[' && value.back() == ']') {
            std::istringstream choices(value.substr(1, value.size() - 2));
            std::string choice;
            while (std::getline(choices, choice, '|')) {
                if (choice != "value") {
                    found.push_back(choice);
                }
            }
        } else if (!value.empty()) {
            found.push_back(value);
        }
        for (const std::string& hint : found) {
            if (std::find(hints.begin(), hints.end(), hint) == hints.end()) {
                hints.push_back(hint);
            }
        }
    }
}

std::vector<std::string> ComponentWorld::instanceNames() const {
    std::set<std::string> all = instances;
    all.insert(std::string(InstanceKey) + "_1");
    all.insert(std::string(InstanceKey) + "_2");
    return std::vector<std::string>(all.begin(), all.end());
}

std::vector<int> ComponentWorld::devices() const {
    std::set<int> found = routers;
    for (const auto& name : names) {
        found.insert(std::get<0>(name));
    }
    if (found.empty()) {
        return {101, 102};
    }
    return std::vector<int>(found.begin(), found.end());
}

std::vector<std::pair<std::string, std::string>> ComponentWorld::controls() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& panel : panels) {
        for (const Control& control : panel.second.controls) {
            out.emplace_back(panel.first, control.name);
        }
    }
    return out;
}

std::vector<std::string> ComponentWorld::facts() const {
    std::vector<std::string> lines;
    for (const auto& panel : panels) {
        for (const Control& control : panel.second.controls) {
            if (!control.madeUp) {
                continue;
            }
            // A control fact needs a property; "value" stands in until one is learned.
            std::vector<std::string> properties = control.properties;
            if (properties.empty()) {
                properties.push_back("value");
            }
            for (const std::string& property : properties) {
                lines.push_back("control " + encodeText(panel.first) + " " +
                                encodeText(control.name) + " " + encodeText(property) + " = \"\"");
            }
        }
    }
    const std::vector<int> pool = devices();
    int offset = 0;
    for (const std::string& name : instanceNames()) {
        const int device = pool[static_cast<std::size_t>(offset) % pool.size()];
        lines.push_back("instance " + encodeText(name) + " = " + std::to_string(device) + " " +
                        std::to_string(++offset));
    }
    for (const auto& name : names) {
        const auto [device, database, index] = name;
        const std::string key =
            std::to_string(device) + " " + std::to_string(database) + " " + std::to_string(index);
        lines.push_back("name " + key + " = \"Name " + key + "\"");
    }
    return lines;
}

bool ComponentWorld::operator==(const ComponentWorld& other) const {
    const auto controlsOf = [](const ComponentWorld& world) {
        std::vector<
            std::tuple<std::string, std::string, std::string, std::vector<std::string>, bool>>
            out;
        for (const auto& panel : world.panels) {
            for (const Control& control : panel.second.controls) {
                out.emplace_back(panel.first, panel.second.file, control.name, control.properties,
                                 control.madeUp);
            }
        }
        return out;
    };
    return keys == other.keys && controlsOf(*this) == controlsOf(other) &&
           lookups == other.lookups && instances == other.instances && names == other.names &&
           routers == other.routers && instanceKeys == other.instanceKeys;
}

void WorldProbe::see(const Record& record) {
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        m_query = step->step == Step::Kind::Command && step->text ? *step->text : std::string();
        const std::size_t equals = m_query.find('=');
        m_valueOf = equals == std::string::npos ? std::string() : m_query.substr(0, equals);
        m_value = equals == std::string::npos ? std::string() : m_query.substr(equals + 1);
    } else if (const SentRecord* sent = std::get_if<SentRecord>(&record)) {
        this->sent(sent->command);
    } else if (const ReplyRecord* reply = std::get_if<ReplyRecord>(&record)) {
        if (reply->text && (m_query == "_commands" || m_query == "return=all")) {
            ComponentWorld::addKeys(*reply->text, m_world.keys);
        }
    }
}

void WorldProbe::sent(const std::string& command) {
    ParsedCommand parsed;
    parseCommand(command, parsed);
    const std::string& code = parsed.code;
    int numbers[3] = {0, 0, 0};
    if (code == "PS" && parsed.arguments.size() >= 2) {
        ComponentWorld::Panel& panel = m_world.panels[parsed.text(0)];
        UiLayout layout;
        std::string error;
        if (panel.file != parsed.text(1) && loadUiLayout(parsed.text(1), layout, error)) {
            panel.file = parsed.text(1);
            for (const ::Control& each : layout.controls) {
                for (const auto& property : each.properties) {
                    control(parsed.text(0), each.name, property.first);
                }
                control(parsed.text(0), each.name, std::string());
            }
        }
    } else if (code == "XI" && parsed.arguments.size() == 2) {
        m_world.lookups.emplace(parsed.text(0), parsed.text(1));
        ComponentWorld::Panel& panel = m_world.panels[parsed.text(0)];
        const std::string& prefix = parsed.text(1);
        const bool answered = std::any_of(panel.controls.begin(), panel.controls.end(),
                                          [&](const ComponentWorld::Control& c) {
                                              return c.name.compare(0, prefix.size(), prefix) == 0;
                                          });
        if (!answered) {
            // The host makes two controls the lookup finds; the component's use of
            // them then names their properties.
            for (const char* suffix : {"1", "2"}) {
                panel.controls.push_back({prefix + suffix, {}, true});
            }
        }
    } else if ((code == "TP" || code == "TG") && parsed.arguments.size() == 3) {
        const bool set = code == "TP";
        const std::string property =
            set ? parsed.text(0).substr(0, parsed.text(0).find('=')) : parsed.text(2);
        const std::string panel = parsed.text(set ? 1 : 0);
        const std::string name = parsed.text(set ? 2 : 1);
        const auto found = m_world.panels.find(panel);
        if (found != m_world.panels.end() && property != "all") {
            for (ComponentWorld::Control& each : found->second.controls) {
                if (each.name == name && each.madeUp &&
                    std::find(each.properties.begin(), each.properties.end(), property) ==
                        each.properties.end()) {
                    each.properties.push_back(property);
                }
            }
        }
    } else if (code == "SD" && parsed.arguments.size() == 1) {
        m_world.instances.insert(parsed.text(0));
        if (!m_valueOf.empty() && m_value == parsed.text(0)) {
            m_world.instanceKeys.insert(m_valueOf);
        }
    } else if (code == "RN" && parsed.number(0, numbers[0]) && parsed.number(1, numbers[1]) &&
               parsed.number(2, numbers[2])) {
        m_world.names.emplace(numbers[0], numbers[1], numbers[2]);
    } else if (code == "RR" && parsed.number(0, numbers[0])) {
        m_world.routers.insert(numbers[0]);
    }
}

void WorldProbe::control(const std::string& panel, const std::string& name,
                         const std::string& property) {
    std::vector<ComponentWorld::Control>& controls = m_world.panels[panel].controls;
    auto found = std::find_if(controls.begin(), controls.end(),
                              [&](const ComponentWorld::Control& c) { return c.name == name; });
    if (found == controls.end()) {
        controls.push_back({name, {}, false});
        found = controls.end() - 1;
    }
    if (!property.empty() && std::find(found->properties.begin(), found->properties.end(),
                                       property) == found->properties.end()) {
        found->properties.push_back(property);
    }
}
