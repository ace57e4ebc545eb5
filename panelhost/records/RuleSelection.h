// RuleSelection: which breaches count and which fail, the same in every check of
// validate and in fuzzing. --only and --skip name rules (by id): only the rules
// given to --only count when it is given, and none given to --skip. A counted
// error fails; a counted warning fails only with --strict.
#pragma once

#include "Rules.h"

#include <set>
#include <string>

struct RuleSelection {
    std::set<std::string> only; // rule ids; empty: every rule
    std::set<std::string> skip;
    bool strict = false;

    bool counts(Rule rule) const {
        const std::string id = ruleInfo(rule).id;
        return (only.empty() || only.count(id) > 0) && skip.count(id) == 0;
    }
    bool fails(Rule rule) const {
        return counts(rule) && (strict || ruleInfo(rule).severity == Severity::Error);
    }
};
