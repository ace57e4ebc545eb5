#include "host/Parent.h"

#include <algorithm>

void Parent::setRule(const std::string& prefix, Fact::Relay relay,
                     const std::optional<std::string>& as) {
    m_rules.erase(std::remove_if(m_rules.begin(), m_rules.end(),
                                 [&](const Rule& rule) { return rule.prefix == prefix; }),
                  m_rules.end());
    if (relay != Fact::Relay::Stop) {
        m_rules.push_back(Rule{prefix, relay == Fact::Relay::Others, as});
    }
}

std::optional<Parent::Delivery> Parent::answer(const std::string& event) const {
    for (auto rule = m_rules.rbegin(); rule != m_rules.rend(); ++rule) {
        if (event.compare(0, rule->prefix.size(), rule->prefix) == 0) {
            return Delivery{rule->as.value_or(rule->prefix) + event.substr(rule->prefix.size()),
                            !rule->others};
        }
    }
    return std::nullopt;
}
