#include "ContractChecker.h"

#include "ClientHost.h"
#include "host_event_types.h"

namespace {

std::string shown(const char* text) {
    return text != nullptr ? std::string(text) : std::string("(null)");
}

void append(std::vector<Finding>& to, std::vector<Finding> from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

} // namespace

std::vector<Finding> ContractChecker::beginCall(Call call, int type) {
    std::vector<Finding> findings;
    takeForeign(findings);
    if (call == Call::Create) {
        m_shutDown = false;
    }
    m_call = call;
    m_type = type;
    m_thread.store(std::this_thread::get_id());
    m_inCall.store(true);
    return findings;
}

std::vector<Finding> ContractChecker::endCall(const char* result) {
    m_inCall.store(false);
    std::vector<Finding> findings;
    takeForeign(findings);
    append(findings, m_ledger.endOfEvent());
    if (m_call == Call::Event && result != nullptr) {
        if (m_type != HostEventParentCommand) {
            findings.push_back(
                {Rule::ResultForNonCommand, "",
                 "event type " + std::to_string(m_type) + " was answered with a result"});
        } else if (*result == '\0') {
            findings.push_back({Rule::EmptyReply, "", "the reply is an empty text, not none"});
        }
    }
    if (m_call == Call::Destroy) {
        if (!m_shutDown) {
            findings.push_back(
                {Rule::ShutdownMissing, "", "the destructor returned without sending AS"});
        }
        for (int device : registeredRouters()) {
            findings.push_back({Rule::RouterLeftRegistered, "RR " + std::to_string(device),
                                "router " + std::to_string(device) + " is still registered"});
        }
        m_routers.clear();
    }
    return findings;
}

bool ContractChecker::onCallThread(const char* text, std::vector<Finding>& findings) {
    const bool inCall = m_inCall.load();
    if (inCall && m_thread.load() == std::this_thread::get_id()) {
        return true;
    }
    if (m_thread.load() == std::this_thread::get_id()) {
        findings.push_back({Rule::CallOutsideHostCall, shown(text),
                            "the host was not calling the component when it sent this"});
        return false;
    }
    // Another thread: nothing of the host's may be touched from here.
    Finding finding{Rule::CallFromAnotherThread, shown(text),
                    inCall ? "sent from another thread while the host called the component on "
                             "its own"
                           : "sent from another thread while no host call was running"};
    const std::lock_guard<std::mutex> lock(m_foreignLock);
    m_foreign.push_back(std::move(finding));
    m_anyForeign.store(true);
    return false;
}

void ContractChecker::takeForeign(std::vector<Finding>& findings) {
    if (!m_anyForeign.load()) {
        return;
    }
    const std::lock_guard<std::mutex> lock(m_foreignLock);
    append(findings, std::move(m_foreign));
    m_foreign.clear();
    m_anyForeign.store(false);
}

std::vector<Finding> ContractChecker::late() {
    std::vector<Finding> findings;
    takeForeign(findings);
    return findings;
}

ContractChecker::Send ContractChecker::send(const char* text, int mode) {
    Send sent;
    if (!onCallThread(text, sent.findings)) {
        sent.refused = true;
        return sent;
    }
    takeForeign(sent.findings);
    if (m_shutDown) {
        const std::string what = mode == ClientHost::GiveBack ? "a give-back" : shown(text);
        sent.findings.push_back({Rule::CallAfterShutdown,
                                 mode == ClientHost::GiveBack ? m_ledger.commandOf(text) : what,
                                 what + " came after AS"});
    }
    if (mode == ClientHost::GiveBack) {
        sent.giveBack = true;
        sent.givenBackOf = text != nullptr ? m_ledger.commandOf(text) : std::string();
        append(sent.findings, m_ledger.giveBack(text));
        return sent;
    }
    if (mode != ClientHost::Command) {
        sent.findings.push_back({Rule::BadMode, shown(text), "mode " + std::to_string(mode)});
        sent.refused = true;
        return sent;
    }
    sent.command = true;
    sent.text = text != nullptr ? text : "";
    append(sent.findings, m_ledger.beforeCommand());
    const std::vector<Finding> form = parseCommand(sent.text, sent.parsed);
    // A known command with odd arguments is still carried out as far as it can
    // be, and an unknown one may meet a host's scripted answer.
    sent.carryOut = form.empty() || form.front().rule == Rule::BadArguments ||
                    form.front().rule == Rule::UnknownCommand;
    sent.findings.insert(sent.findings.end(), form.begin(), form.end());
    const bool codeRead = form.empty() || form.front().rule != Rule::MalformedCode;
    if (codeRead && sent.parsed.code == "AS") {
        if (m_call != Call::Destroy) {
            sent.findings.push_back({Rule::ShutdownOutsideDestruction, "",
                                     m_call == Call::Create
                                         ? "AS came from the factory, not the destructor"
                                         : "AS came from handleHostEvent (event type " +
                                               std::to_string(m_type) + "), not the destructor"});
        }
        m_shutDown = true;
    }
    if (sent.carryOut) {
        registration(sent.parsed, sent.findings);
    }
    for (Finding& finding : sent.findings) {
        if (finding.command.empty()) {
            finding.command = sent.text;
        }
    }
    return sent;
}

void ContractChecker::registration(const ParsedCommand& parsed, std::vector<Finding>& findings) {
    int device = 0;
    if ((parsed.code != "RR" && parsed.code != "RU") || !parsed.number(0, device)) {
        return;
    }
    if (parsed.code == "RR") {
        ++m_routers[device];
        return;
    }
    const auto found = m_routers.find(device);
    if (found == m_routers.end()) {
        findings.push_back(
            {Rule::UnknownRouter, "", "router " + std::to_string(device) + " is not registered"});
    } else if (--found->second == 0) {
        m_routers.erase(found);
    }
}

char* ContractChecker::reply(const Send& sent, const std::optional<std::string>& text) {
    if (!sent.command) {
        return nullptr;
    }
    return m_ledger.issue(sent.text, text);
}

Finding ContractChecker::exceptionEscaped(const std::string& where, const std::string& what) {
    return {Rule::ExceptionEscaped, "", where + " threw " + what};
}

std::vector<int> ContractChecker::registeredRouters() const {
    std::vector<int> devices;
    for (const auto& entry : m_routers) {
        devices.insert(devices.end(), static_cast<std::size_t>(entry.second), entry.first);
    }
    return devices;
}
