// World: the host's side of everything a component can ask for. It holds the
// panels with their controls and properties, the routers' names databases (RN),
// the instance table (SD), the running timers (ET) and any scripted answers that
// replace the world's own reply to commands beginning with a given text.
// execute() carries out one parsed command and says what the host replies and
// what it found odd about the request. The router registrations (RR, RU) are the
// contract checker's: the host only takes note of them.
#pragma once

#include "CommandSyntax.h"
#include "Rules.h"
#include "host/UiLayout.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct Panel {
    std::string source; // the UI file loaded into it; empty for a scripted panel
    UiLayout layout;
};

struct CommandOutcome {
    std::optional<std::string> reply; // null: the host gives no reply
    std::vector<Finding> findings;
};

class World {
public:
    void setName(int device, int database, int index, const std::optional<std::string>& text);
    void setInstance(const std::string& name, const std::optional<std::string>& reply);
    // Sets a property, making the panel and the control when needed; a control
    // made so stays when the component loads a layout into the panel that lacks it.
    void setControlProperty(const std::string& panel, const std::string& control,
                            const std::string& property, const std::string& value);
    // Replies to commands beginning with `prefix`; the newest matching answer wins.
    void setAnswer(const std::string& prefix, const std::optional<std::string>& reply);
    void clearAnswer(const std::string& prefix);
    void startTimer(int id) { m_timers[id] = true; }

    CommandOutcome execute(const std::string& text, const ParsedCommand& command);

    const Panel* panel(const std::string& name) const;
    const std::map<std::string, Panel>& panels() const { return m_panels; }
    std::vector<int> runningTimers() const;
    std::optional<std::string> name(int device, int database, int index) const;

private:
    CommandOutcome loadPanel(const ParsedCommand& command);
    CommandOutcome setProperty(const ParsedCommand& command);
    CommandOutcome getProperty(const ParsedCommand& command);
    CommandOutcome listControls(const ParsedCommand& command);
    Control* findControl(const std::string& panel, const std::string& control,
                         std::vector<Finding>& findings);

    std::map<std::string, Panel> m_panels;
    std::map<std::string, UiLayout> m_scripted; // controls added by facts, by panel
    std::map<std::tuple<int, int, int>, std::string> m_names;
    std::map<std::string, std::string> m_instances;
    std::map<int, bool> m_timers;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_answers;
};
