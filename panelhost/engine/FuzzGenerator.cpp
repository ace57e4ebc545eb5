#include "engine/FuzzGenerator.h"

#include "CommandTable.h"
#include "engine/WorldScript.h"
#include "language/Text.h"

namespace {

// Scripted answers go to every command the host knows but the shutdown notice.
std::vector<std::string> answerCodes() {
    std::vector<std::string> codes;
    for (const CommandSpec& spec : allCommands()) {
        if (std::string(spec.code) != "AS") {
            codes.push_back(spec.code);
        }
    }
    return codes;
}

} // namespace

FuzzGenerator::FuzzGenerator(unsigned long long seed, const ComponentWorld& world)
    : m_engine(seed), m_world(world), m_keys(world_script::keys(world)),
      m_instances(world.instanceNames()), m_devices(world.devices()),
      m_names(world.names.begin(), world.names.end()) {
    for (const auto& panel : world.panels) {
        if (!panel.second.controls.empty()) {
            m_panels.push_back(panel.first);
        }
    }
}

int FuzzGenerator::below(int n) {
    return n <= 1 ? 0 : static_cast<int>(m_engine() % static_cast<unsigned long long>(n));
}

std::string FuzzGenerator::text(int longest) {
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 =,.-_|*%[]";
    std::string out;
    const int length = below(longest + 1);
    for (int i = 0; i < length; ++i) {
        out += alphabet[below(static_cast<int>(sizeof alphabet) - 1)];
    }
    return out;
}

std::string FuzzGenerator::word(int longest) {
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    std::string out;
    const int length = 1 + below(longest);
    for (int i = 0; i < length; ++i) {
        out += alphabet[below(static_cast<int>(sizeof alphabet) - 1)];
    }
    return out;
}

std::string FuzzGenerator::number() {
    static const std::vector<std::string> numbers = {"-1", "0", "1", "2", "5", "7", "12", "1000"};
    return chance(80) ? pick(numbers) : std::to_string(below(2000) - 1000);
}

std::vector<std::string> FuzzGenerator::world() {
    std::vector<std::string> lines;
    for (const auto& panel : m_world.panels) {
        for (const ComponentWorld::Control& control : panel.second.controls) {
            if (!control.madeUp) {
                continue;
            }
            const std::string property =
                control.properties.empty() ? std::string("value") : pick(control.properties);
            lines.push_back("control " + encodeText(panel.first) + " " + encodeText(control.name) +
                            " " + encodeText(property) + " = " + encodeText(text(6)));
        }
    }
    for (const std::string& name : m_instances) {
        if (chance(10)) {
            continue; // unknown to the host: SD gets no reply
        }
        std::string reply;
        if (chance(80)) {
            reply = std::to_string(chance(90) ? pick(m_devices) : below(1200)) + " " +
                    std::to_string(below(13));
        } else {
            const std::string device = std::to_string(pick(m_devices));
            const std::vector<std::string> quirks = {
                " " + device + " 7", "'" + device + "' 7", device, "abc", "", "0 4", device + " 0"};
            reply = pick(quirks);
        }
        lines.push_back("instance " + encodeText(name) + " = " + encodeText(reply));
    }
    // Every name the component looked up, and its neighbours in the same databases.
    std::set<std::tuple<int, int, int>> names(m_names.begin(), m_names.end());
    for (const auto& name : m_names) {
        for (int i = 0; i < 3; ++i) {
            names.emplace(std::get<0>(name), std::get<1>(name), below(14));
        }
    }
    for (int device : m_devices) {
        names.emplace(device, 1 + below(3), below(14));
    }
    for (const auto& name : names) {
        if (chance(15)) {
            continue;
        }
        lines.push_back("name " + std::to_string(std::get<0>(name)) + " " +
                        std::to_string(std::get<1>(name)) + " " +
                        std::to_string(std::get<2>(name)) + " = " + encodeText(text(10)));
    }
    return lines;
}

std::string FuzzGenerator::valueFor(const std::string& key) {
    const bool resolves = key == ComponentWorld::InstanceKey || m_world.instanceKeys.count(key) > 0;
    if (resolves && chance(80)) {
        return pick(m_instances);
    }
    const auto hints = m_world.keys.find(key);
    if (hints != m_world.keys.end() && !hints->second.empty() && chance(70)) {
        return pick(hints->second);
    }
    return chance(30) ? number() : text(8);
}

std::string FuzzGenerator::command() {
    const int kind = below(100);
    if (kind < 85) {
        const std::string& key = pick(m_keys);
        return "command " + encodeText(key + "=" + valueFor(key));
    }
    if (kind < 95) {
        return "command " + encodeText(text(14));
    }
    const std::vector<std::string> odd = {"command none", "command \"\"", "command " + pick(m_keys),
                                          "command =x", "command a.b.c=d"};
    return pick(odd);
}

std::string FuzzGenerator::press() {
    std::string panel = "0";
    std::string control = word(6);
    if (!m_panels.empty() && chance(90)) {
        panel = pick(m_panels);
        const std::vector<ComponentWorld::Control>& controls = m_world.panels.at(panel).controls;
        if (chance(90)) {
            control = pick(controls).name;
        }
    }
    std::string line = "press " + encodeText(panel) + " " + encodeText(control);
    if (chance(70)) {
        const std::string key = chance(60) ? pick(m_keys) : word(5);
        line += " " + encodeText(key + "=" + text(5));
    }
    return line;
}

std::vector<std::string> FuzzGenerator::event() {
    std::vector<std::string> lines;
    if (chance(8)) {
        static const std::vector<std::string> codes = answerCodes();
        const std::string& code = pick(codes);
        const int reply = below(4);
        lines.push_back("answer " + code + " => " +
                        (reply == 0   ? std::string("none")
                         : reply == 1 ? std::string("world")
                                      : encodeText(text(10))));
    }
    const int kind = below(100);
    if (kind < 45) {
        lines.push_back(command());
    } else if (kind < 60) {
        lines.push_back(press());
    } else if (kind < 72) {
        int device = pick(m_devices);
        int database = 1 + below(3);
        int index = below(14);
        if (!m_names.empty() && chance(60)) {
            std::tie(device, database, index) = pick(m_names);
        }
        lines.push_back("dbchange " + std::to_string(device) + " " + std::to_string(database) +
                        " " + std::to_string(index) + " = " + encodeText(text(10)));
    } else if (kind < 82) {
        lines.push_back("timer " + std::to_string(below(10)));
    } else if (kind < 89) {
        lines.push_back("revertive " + std::to_string(pick(m_devices)) + " " +
                        std::to_string(below(13)) + " " + std::to_string(below(13)));
    } else if (kind < 96) {
        lines.push_back("aux " + encodeText(text(8)));
    } else if (kind < 98) {
        lines.push_back("destroy");
    } else {
        lines.push_back("load");
    }
    return lines;
}
