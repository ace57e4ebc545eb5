// The contract rules that our hosts audit (ContractChecker) and panelhost reports.
// Each rule has a short id for reports and scenarios, a descriptive name, a
// severity and a one-line statement of what breaches it. Errors fail a run;
// warnings are reported and fail it only under --strict.
#pragma once

#include <string>
#include <vector>

enum class Severity { Error, Warning };

enum class Rule {
    ReplyNotGivenBack,
    ReplyGivenBackTwice,
    ForeignGiveBack,
    UnowedGiveBack,
    NullLookupNotGivenBack,
    ReplyOverrun,
    ReplyUsedAfterGiveBack,
    MalformedCode,
    StraySpace,
    UnbalancedQuotes,
    UnknownCommand,
    BadArguments,
    BadMode,
    CallAfterShutdown,
    ShutdownMissing,
    RouterLeftRegistered,
    ShutdownOutsideDestruction,
    CallFromAnotherThread,
    CallOutsideHostCall,
    ThreadLeftRunning,
    ComponentCrash,
    ComponentHang,
    ExceptionEscaped,
    StackExhausted,
    ResultForNonCommand,
    EmptyReply,
    MemoryGrows,
    HandlesGrow,
    UnknownPanel,
    UnknownControl,
    UnknownProperty,
    UiFileMissing,
    UnknownRouter,
    UnknownTimer,
};

struct RuleInfo {
    Rule rule;
    const char* id;
    const char* name;
    Severity severity;
    const char* statement;
};

const RuleInfo& ruleInfo(Rule rule);
// The rule whose id or name is `text` (ids ignore case); null when none is.
const RuleInfo* findRule(const std::string& text);
const std::vector<RuleInfo>& allRules();
const char* severityName(Severity severity);
// The rule as a finding names it: "GB1 reply-not-given-back (error)".
std::string ruleLabel(const RuleInfo& rule);

// One breach as the audits find it: the rule, the command it concerns (empty
// when none) and what was seen.
struct Finding {
    Rule rule;
    std::string command;
    std::string detail;
};
