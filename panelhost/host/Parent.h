// Parent: how the simulated parent panel answers its children's events. Each
// rule takes the events beginning with a prefix and delivers each as a parent
// command to every live child, or to every one but the child that raised it,
// with the prefix renamed where the rule says. A rule for a prefix replaces the
// one before it; of the rules an event matches, the newest wins.
#pragma once

#include "language/Scenario.h"

#include <optional>
#include <string>
#include <vector>

class Parent {
public:
    // Relay::Stop ends the rule for `prefix`; `as` (null: the prefix kept) is
    // what the prefix becomes in the command delivered.
    void setRule(const std::string& prefix, Fact::Relay relay,
                 const std::optional<std::string>& as);

    struct Delivery {
        std::string command;
        bool toRaiser = true; // the child that raised the event hears it too
    };
    // What the parent delivers for `event`; none when no rule takes it.
    std::optional<Delivery> answer(const std::string& event) const;

private:
    struct Rule {
        std::string prefix;
        bool others = false;
        std::optional<std::string> as;
    };
    std::vector<Rule> m_rules;
};
