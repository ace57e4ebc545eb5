#include "fuzzing_host.h"

FuzzingHost::~FuzzingHost() = default;

void TARN_THISCALL FuzzingHost::reserved() {
    fuzzFailure("the component called the host's reserved slot", "");
}

std::optional<std::string> FuzzingHost::nextReply() {
    if (m_replies.done()) {
        return std::nullopt;
    }
    const std::string line = cText(m_replies.next());
    if (line == "~") {
        return std::nullopt;
    }
    return line;
}

void FuzzingHost::found(const std::vector<Finding>& findings) {
    if (!findings.empty()) {
        const Finding& finding = findings.front();
        const std::string what = std::string(ruleInfo(finding.rule).id) + " " +
                                 ruleInfo(finding.rule).name + ": " + finding.detail;
        fuzzFailure(what.c_str(), finding.command);
    }
}

AuditingHost::Answer FuzzingHost::answer(const ContractChecker::Send& sent, const char*) {
    m_callCommands.push_back(sent.text);
    return Answer{nextReply(), {}};
}

void FuzzingHost::beginCall(ContractChecker::Call call, int type) {
    m_callCommands.clear();
    AuditingHost::beginCall(call, type);
}
