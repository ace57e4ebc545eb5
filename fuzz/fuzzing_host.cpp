#include "fuzzing_host.h"

#include "CommandTable.h"

#include <cstring>

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

void FuzzingHost::stopOn(const std::vector<Finding>& findings) {
    if (!findings.empty()) {
        const Finding& finding = findings.front();
        const std::string what = std::string(ruleInfo(finding.rule).name) + ": " + finding.detail;
        fuzzFailure(what.c_str(), finding.command);
    }
}

char* TARN_THISCALL FuzzingHost::send(const char* text, int mode) {
    if (m_shutDown) {
        fuzzFailure("a text after the shutdown notice", text != nullptr ? text : "(null)");
    }
    if (mode == ClientHost::GiveBack) {
        stopOn(m_ledger.giveBack(text));
        return nullptr;
    }
    if (mode != ClientHost::Command) {
        fuzzFailure("a mode other than 0 and 5", std::to_string(mode));
    }
    if (text == nullptr) {
        fuzzFailure("a null command", "");
    }
    stopOn(m_ledger.beforeCommand());
    const std::string command = text;
    const std::string code = command.substr(0, 2);
    if (findCommand(code) == nullptr || (command.size() > 2 && command[2] != ' ')) {
        fuzzFailure("an unknown command", command);
    }
    if (code == "AS") {
        if (!m_destroying || command != "AS") {
            fuzzFailure("the shutdown notice outside destruction", command);
        }
        m_shutDown = true;
    }
    m_callCommands.push_back(command);
    return m_ledger.issue(command, nextReply());
}

void FuzzingHost::beginCall(bool destroying) {
    m_callCommands.clear();
    m_destroying = destroying;
}

void FuzzingHost::endCall() {
    stopOn(m_ledger.endOfEvent());
    if (m_destroying && (!m_shutDown || m_callCommands.empty() || m_callCommands.back() != "AS")) {
        fuzzFailure("destruction ends with the shutdown notice", "");
    }
}
