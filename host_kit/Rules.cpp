#include "Rules.h"

#include <cctype>

namespace {

const std::vector<RuleInfo> rules = {
    {Rule::ReplyNotGivenBack, "GB1", "reply-not-given-back", Severity::Error,
     "a reply of RN, SD, XI or TG was not given back before the next command or the end of "
     "the event"},
    {Rule::ReplyGivenBackTwice, "GB2", "reply-given-back-twice", Severity::Error,
     "a reply was given back with mode 5 more than once"},
    {Rule::ForeignGiveBack, "GB3", "foreign-give-back", Severity::Error,
     "mode 5 gave back a pointer that the host never issued"},
    {Rule::UnowedGiveBack, "GB4", "unowed-give-back", Severity::Error,
     "a reply of PS, TP, HN, RR, RU, ET or AS, which stays the host's, was given back"},
    {Rule::NullLookupNotGivenBack, "GB5", "null-lookup-not-given-back", Severity::Warning,
     "an RN without reply was not followed by a null give-back before the next command"},
    {Rule::ReplyOverrun, "GB6", "reply-overrun", Severity::Error,
     "the component wrote (or read) past the NUL that ends a reply the host handed out"},
    {Rule::ReplyUsedAfterGiveBack, "GB7", "reply-used-after-give-back", Severity::Error,
     "the component read or wrote a reply after giving it back"},
    {Rule::MalformedCode, "CT1", "malformed-code", Severity::Error,
     "the command does not begin with two capital letters followed by a space or its end"},
    {Rule::StraySpace, "CT2", "stray-space", Severity::Error,
     "a leading, trailing or doubled space, or arguments not separated by one space"},
    {Rule::UnbalancedQuotes, "CT3", "unbalanced-quotes", Severity::Error,
     "a quote that is not closed, or a quote inside an argument"},
    {Rule::UnknownCommand, "CT4", "unknown-command", Severity::Warning,
     "a well-formed command whose code the host does not know"},
    {Rule::BadArguments, "CT5", "bad-arguments", Severity::Error,
     "a known command with the wrong number or kind of arguments"},
    {Rule::BadMode, "CT6", "bad-mode", Severity::Error,
     "send was called with a mode other than 0 or 5"},
    {Rule::CallAfterShutdown, "SH1", "call-after-shutdown", Severity::Error,
     "the component called the host after its shutdown notice AS"},
    {Rule::ShutdownMissing, "SH2", "shutdown-missing", Severity::Error,
     "the component was destroyed without sending AS"},
    {Rule::RouterLeftRegistered, "SH3", "router-left-registered", Severity::Error,
     "a router registered with RR was still registered at shutdown"},
    {Rule::ShutdownOutsideDestruction, "SH4", "shutdown-outside-destruction", Severity::Error,
     "the component sent its shutdown notice AS from a host call other than its destruction"},
    {Rule::CallFromAnotherThread, "TH1", "call-from-another-thread", Severity::Error,
     "the component called the host from a thread other than the one the host called it on"},
    {Rule::CallOutsideHostCall, "TH2", "call-outside-host-call", Severity::Error,
     "the component called the host while no host call into it was running"},
    {Rule::ThreadLeftRunning, "TH3", "thread-left-running", Severity::Error,
     "a thread the component started was still running after its destruction"},
    {Rule::ComponentCrash, "CR1", "component-crash", Severity::Error,
     "the component ended the process during a step"},
    {Rule::ComponentHang, "CR2", "component-hang", Severity::Error,
     "a step did not return within the time limit"},
    {Rule::ExceptionEscaped, "CR3", "exception-escaped", Severity::Error,
     "a C++ exception left the component through the host boundary"},
    {Rule::StackExhausted, "CR4", "stack-exhausted", Severity::Error,
     "the component ran out of the stack of the host's thread during a step"},
    {Rule::ResultForNonCommand, "CB1", "result-for-non-command", Severity::Error,
     "handleHostEvent returned a result for an event other than a parent command"},
    {Rule::EmptyReply, "CB2", "empty-reply", Severity::Warning,
     "a parent command was answered with an empty text instead of none"},
    {Rule::MemoryGrows, "MM1", "memory-grows", Severity::Error,
     "the component's heap in use kept growing while one cycle of events was repeated"},
    {Rule::HandlesGrow, "MM2", "handles-grow", Severity::Error,
     "the process's open handles (file descriptors) kept growing while one cycle of events "
     "was repeated"},
    {Rule::UnknownPanel, "WD1", "unknown-panel", Severity::Warning,
     "a command named a panel that holds no loaded UI"},
    {Rule::UnknownControl, "WD2", "unknown-control", Severity::Warning,
     "a command named a control that its panel does not have"},
    {Rule::UnknownProperty, "WD3", "unknown-property", Severity::Warning,
     "a command named a property that the control's layout does not define"},
    {Rule::UiFileMissing, "WD4", "ui-file-unusable", Severity::Warning,
     "PS named a UI file that is missing or not a valid layout"},
    {Rule::UnknownRouter, "WD5", "unknown-router", Severity::Warning,
     "RU named a router that is not registered"},
    {Rule::UnknownTimer, "WD6", "unknown-timer", Severity::Warning,
     "ET named a timer that is not running"},
};

bool sameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

} // namespace

const RuleInfo& ruleInfo(Rule rule) {
    return rules[static_cast<std::size_t>(rule)];
}

const RuleInfo* findRule(const std::string& text) {
    for (const RuleInfo& info : rules) {
        if (sameIgnoringCase(text, info.id) || text == info.name) {
            return &info;
        }
    }
    return nullptr;
}

const std::vector<RuleInfo>& allRules() {
    return rules;
}

const char* severityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string ruleLabel(const RuleInfo& rule) {
    return std::string(rule.id) + " " + rule.name + " (" + severityName(rule.severity) + ")";
}
