// World: the host's side of everything a component can ask for, shared by every
// instance of the component the host holds: the routers' names databases (RN),
// the instance table (SD), the running timers (ET) and any scripted answers that
// replace the world's own reply to commands beginning with a given text. Each
// instance's panels are its own (Panels). execute() carries out one parsed
// command of an instance and says what the host replies and what it found odd
// about the request. The router registrations (RR, RU) are the contract
// checker's: the host only takes note of them.
#pragma once

#include "CommandSyntax.h"
#include "Rules.h"
#include "host/Panels.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

class World {
public:
    void setName(int device, int database, int index, const std::optional<std::string>& text);
    void setInstance(const std::string& name, const std::optional<std::string>& reply);
    // Replies to commands beginning with `prefix`; the newest matching answer wins.
    void setAnswer(const std::string& prefix, const std::optional<std::string>& reply);
    void clearAnswer(const std::string& prefix);
    void startTimer(int id) { m_timers[id] = true; }

    // A command sent by the instance whose panels are `panels`.
    CommandOutcome execute(const std::string& text, const ParsedCommand& command, Panels& panels);

    std::vector<int> runningTimers() const;
    std::optional<std::string> name(int device, int database, int index) const;

private:
    CommandOutcome executeOwn(const ParsedCommand& command);

    std::map<std::tuple<int, int, int>, std::string> m_names;
    std::map<std::string, std::string> m_instances;
    std::map<int, bool> m_timers;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_answers;
};
