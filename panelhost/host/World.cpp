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

CommandOutcome World::execute(const std::string& text, const ParsedCommand& command,
                              Panels& panels) {
    CommandOutcome outcome;
    if (!panels.execute(command, outcome)) {
        outcome = executeOwn(command);
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

CommandOutcome World::executeOwn(const ParsedCommand& command) {
    CommandOutcome outcome;
    const std::string& code = command.code;
    int number = 0;
    if (code == "RN") {
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
    return outcome;
}
