#include "records/CheckSelection.h"

bool CheckSelection::none() const {
    for (const CheckInfo& check : allChecks()) {
        if (selected(check)) {
            return false;
        }
    }
    return true;
}

Selection selectionOf(const std::vector<std::string>& only, const std::vector<std::string>& skip,
                      bool strict) {
    Selection out;
    out.rules.strict = strict;
    const auto add = [](const std::vector<std::string>& ids, std::set<std::string>& checks,
                        std::set<std::string>& rules) {
        for (const std::string& id : ids) {
            if (const CheckInfo* check = findCheck(id)) {
                checks.insert(check->id);
            } else if (const RuleInfo* rule = findRule(id)) {
                rules.insert(rule->id);
            }
        }
    };
    add(only, out.checks.only, out.rules.only);
    add(skip, out.checks.skip, out.rules.skip);
    return out;
}
