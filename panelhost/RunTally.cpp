#include "RunTally.h"

using nlohmann::json;

void RunTally::add(const json& record) {
    const std::string type = record.value("type", "");
    if (type == "step") {
        ++m_steps;
        m_open = true;
        m_stepLine = record.value("line", 0);
        m_lastCommand.clear();
    } else if (type == "end") {
        m_open = false;
    } else if (type == "sent") {
        m_lastCommand = record.value("command", "");
    } else if (type == "breach") {
        const RuleInfo* rule = findRule(record.value("rule", ""));
        m_breaches.push_back({record.value("line", 0), record.value("rule", ""),
                              rule != nullptr ? rule->severity : Severity::Error, false});
    } else if (type == "expect") {
        const bool held = record.value("held", false);
        held ? ++m_held : ++m_failed;
        if (held && record.value("what", "") == "breach") {
            for (Breach& breach : m_breaches) {
                if (!breach.expected && breach.line == record.value("step", 0) &&
                    breach.rule == record.value("rule", "")) {
                    breach.expected = true;
                    break;
                }
            }
        }
    } else if (type == "summary") {
        m_finished = true;
    } else if (type == "fatal") {
        m_fatal = true;
    }
}

json RunTally::summary() const {
    int errors = 0;
    int warnings = 0;
    int expected = 0;
    for (const Breach& breach : m_breaches) {
        if (breach.expected) {
            ++expected;
        } else if (breach.severity == Severity::Error) {
            ++errors;
        } else {
            ++warnings;
        }
    }
    return {{"type", "summary"},
            {"steps", m_steps},
            {"expectations", m_held + m_failed},
            {"held", m_held},
            {"failed", m_failed},
            {"errors", errors},
            {"warnings", warnings},
            {"expected_breaches", expected},
            {"status", status()}};
}

int RunTally::status() const {
    if (m_failed > 0) {
        return 1;
    }
    for (const Breach& breach : m_breaches) {
        if (!breach.expected && (breach.severity == Severity::Error || m_strict)) {
            return 1;
        }
    }
    return 0;
}

bool RunTally::firstBreach(std::string& rule, int& line) const {
    for (const Breach& breach : m_breaches) {
        if (!breach.expected) {
            rule = breach.rule;
            line = breach.line;
            return true;
        }
    }
    return false;
}
