#include "engine/WorldScript.h"

#include "language/Text.h"

#include <algorithm>

namespace world_script {

std::vector<std::string> keys(const ComponentWorld& world) {
    std::vector<std::string> out;
    for (const auto& entry : world.keys) {
        out.push_back(entry.first);
    }
    if (world.keys.count(ComponentWorld::InstanceKey) == 0) {
        out.push_back(ComponentWorld::InstanceKey);
    }
    return out;
}

std::vector<std::string> values(const ComponentWorld& world, const std::string& key) {
    std::vector<std::string> out;
    const auto hints = world.keys.find(key);
    if (hints != world.keys.end()) {
        out = hints->second;
    }
    if (key == ComponentWorld::InstanceKey || world.instanceKeys.count(key) > 0) {
        for (const std::string& name : world.instanceNames()) {
            if (std::find(out.begin(), out.end(), name) == out.end()) {
                out.push_back(name);
            }
        }
    }
    if (out.empty()) {
        out.push_back("1");
    }
    return out;
}

std::vector<std::string> commands(const ComponentWorld& world) {
    std::vector<std::string> out;
    for (const std::string& key : keys(world)) {
        for (const std::string& value : values(world, key)) {
            out.push_back("command " + encodeText(key + "=" + value));
        }
    }
    return out;
}

std::vector<std::string> presses(const ComponentWorld& world) {
    const std::vector<std::string> names = keys(world);
    std::vector<std::string> out;
    std::size_t turn = 0;
    for (const auto& control : world.controls()) {
        const std::string press =
            "press " + encodeText(control.first) + " " + encodeText(control.second);
        // The event text takes the component's own keys in turn.
        const std::string& key = names[turn++ % names.size()];
        out.push_back(press);
        out.push_back(press + " " + encodeText(key + "=" + values(world, key).front()));
    }
    return out;
}

std::vector<std::string> others(const ComponentWorld& world) {
    std::vector<std::string> out = {"timer 1"};
    for (const auto& name : world.names) {
        out.push_back("dbchange " + std::to_string(std::get<0>(name)) + " " +
                      std::to_string(std::get<1>(name)) + " " + std::to_string(std::get<2>(name)) +
                      " = \"Name changed\"");
    }
    for (int device : world.routers) {
        out.push_back("revertive " + std::to_string(device) + " 1 1");
    }
    out.push_back("aux data");
    return out;
}

std::vector<std::string> answerEverything(const ComponentWorld& world) {
    std::vector<std::string> out;
    for (const char* code : {"PS", "TP", "HN", "RR", "RU", "ET"}) {
        out.push_back(std::string("answer ") + code + " => OK");
    }
    out.push_back("answer SD => \"" + std::to_string(world.devices().front()) + " 1\"");
    out.push_back("answer RN => \"A name\"");
    // TG and XI keep the world's own answers: its layouts and made-up controls.
    return out;
}

std::vector<std::string> answerNoLookup() {
    return {"answer RN => none", "answer SD => none", "answer TG => none", "answer XI => none"};
}

std::string join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

} // namespace world_script
