#include "RecordingHost.h"

#include <algorithm>

RecordingHost::RecordingHost() : AuditingHost(ReplyLedger::KeepAll) {
    beginCall(ContractChecker::Call::Event);
}

RecordingHost::~RecordingHost() = default;

void TARN_THISCALL RecordingHost::reserved() {}

void RecordingHost::reply(const std::string& command, const std::string& text) {
    m_replies[command] = text;
}

void RecordingHost::noReply(const std::string& command) {
    m_replies[command] = std::nullopt;
}

void RecordingHost::replyToPrefix(const std::string& prefix, std::optional<std::string> text) {
    m_prefixes.emplace_back(prefix, std::move(text));
}

void RecordingHost::found(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) {
        m_findings.push_back(finding.rule);
    }
}

int RecordingHost::count(Rule rule) const {
    return static_cast<int>(std::count(m_findings.begin(), m_findings.end(), rule));
}

void RecordingHost::noCommand(const ContractChecker::Send& sent, const char* text, int mode) {
    if (mode == ClientHost::GiveBack) {
        m_traffic.push_back(text == nullptr            ? std::string("[5] (null)")
                            : sent.givenBackOf.empty() ? std::string("[5] (foreign)")
                                                       : std::string("[5] ") + text);
    } else if (mode != ClientHost::Command) {
        ++m_otherModes;
    }
}

AuditingHost::Answer RecordingHost::answer(const ContractChecker::Send&, const char* text) {
    const std::string command = text != nullptr ? text : "(null)";
    m_traffic.push_back(command);
    const auto found = m_replies.find(command);
    if (found != m_replies.end()) {
        return Answer{found->second, {}};
    }
    for (auto rule = m_prefixes.rbegin(); rule != m_prefixes.rend(); ++rule) {
        if (command.rfind(rule->first, 0) == 0) {
            return Answer{rule->second, {}};
        }
    }
    return Answer{};
}

std::vector<std::string> RecordingHost::commands() const {
    std::vector<std::string> result;
    for (const std::string& entry : m_traffic) {
        if (entry.rfind("[5] ", 0) != 0) {
            result.push_back(entry);
        }
    }
    return result;
}

int RecordingHost::outstandingReplies() const {
    const ReplyLedger::Counts& counts = checker().ledger().counts();
    return static_cast<int>(counts.issued - counts.givenBack);
}
