// Panels: the panels of one instance of the component, with their controls and
// properties: what its PS, TP, TG and XI commands load, set and read. Each
// instance the host holds has its own; a control made by a scenario's fact stays
// when the instance loads a layout without it into that panel.
#pragma once

#include "CommandSyntax.h"
#include "Rules.h"
#include "host/UiLayout.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct Panel {
    std::string source; // the UI file loaded into it; empty for a scripted panel
    UiLayout layout;
};

struct CommandOutcome {
    std::optional<std::string> reply; // null: the host gives no reply
    std::vector<Finding> findings;
};

class Panels {
public:
    // Sets a property, making the panel and the control when needed; a control
    // made so stays when the component loads a layout into the panel that lacks it.
    void setControlProperty(const std::string& panel, const std::string& control,
                            const std::string& property, const std::string& value);
    // Carries out a panel command (PS, TP, TG, XI); false for any other command.
    bool execute(const ParsedCommand& command, CommandOutcome& outcome);

    const Panel* panel(const std::string& name) const;
    const std::map<std::string, Panel>& all() const { return m_panels; }

private:
    CommandOutcome loadPanel(const ParsedCommand& command);
    CommandOutcome setProperty(const ParsedCommand& command);
    CommandOutcome getProperty(const ParsedCommand& command);
    CommandOutcome listControls(const ParsedCommand& command);
    Control* findControl(const std::string& panel, const std::string& control,
                         std::vector<Finding>& findings);

    std::map<std::string, Panel> m_panels;
    std::map<std::string, UiLayout> m_scripted; // controls added by facts, by panel
};
