// CheckSelection: which of validate's checks run, beside the rule selection that
// says which breaches count in each of them. --only and --skip take both kinds
// of id: check ids select checks, rule ids select rules. With no check id given
// to --only every check runs, less those given to --skip.
#pragma once

#include "records/Checks.h"
#include "records/RuleSelection.h"

#include <set>
#include <string>
#include <vector>

struct CheckSelection {
    std::set<std::string> only; // check ids; empty: every check
    std::set<std::string> skip;

    bool selected(const CheckInfo& check) const {
        return (only.empty() || only.count(check.id) > 0) && skip.count(check.id) == 0;
    }
    // Whether no check is left to run.
    bool none() const;
};

// The checks and the rules that --only and --skip select; ids that are neither a
// check nor a rule are left out (the command line refuses them).
struct Selection {
    CheckSelection checks;
    RuleSelection rules;
};
Selection selectionOf(const std::vector<std::string>& only, const std::vector<std::string>& skip,
                      bool strict);
