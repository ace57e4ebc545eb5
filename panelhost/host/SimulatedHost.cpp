#include "host/SimulatedHost.h"

#include "CommandTable.h"
#include "host/CommandSyntax.h"

void TARN_THISCALL SimulatedHost::reserved() {}

void SimulatedHost::beginStep(int line) {
    m_log = StepLog();
    m_log.line = line;
}

void SimulatedHost::beginLife() {
    m_shutdown = false;
}

void SimulatedHost::report(const Finding& finding) {
    const BreachRecord breach{m_log.line, m_breaches++, finding.rule, finding.command,
                              finding.detail};
    m_log.breaches.push_back(breach);
    m_sink.emit(breach);
}

char* TARN_THISCALL SimulatedHost::send(const char* text, int mode) {
    if (m_shutdown) {
        const std::string what = mode == GiveBack  ? "a give-back"
                                 : text != nullptr ? text
                                                   : "(null)";
        report({Rule::CallAfterShutdown, mode == GiveBack ? m_ledger.commandOf(text) : what,
                what + " came after AS"});
    }
    if (mode == GiveBack) {
        giveBack(text);
        return nullptr;
    }
    if (mode != Command) {
        report({Rule::BadMode, text != nullptr ? text : "(null)", "mode " + std::to_string(mode)});
        return nullptr;
    }
    return command(text);
}

char* SimulatedHost::command(const char* text) {
    const std::string command = text != nullptr ? text : "";
    std::vector<Finding> findings = m_ledger.beforeCommand();
    ParsedCommand parsed;
    const std::vector<Finding> form = parseCommand(command, parsed);
    CommandOutcome outcome;
    // A known command with odd arguments is still carried out as far as it can
    // be, and an unknown one may meet a scripted answer.
    if (form.empty() || form.front().rule == Rule::BadArguments ||
        form.front().rule == Rule::UnknownCommand) {
        outcome = m_world.execute(command, parsed);
    }
    char* reply = m_ledger.issue(command, outcome.reply);
    m_log.sent.push_back(command);
    m_sink.emit(
        SentRecord{m_log.line, command, outcome.reply, replyIsOwed(parsed.code, reply == nullptr)});
    if (parsed.code == "HN" && parsed.arguments.size() == 1) {
        m_log.events.push_back(parsed.text(0));
        m_sink.emit(EventRecord{m_log.line, parsed.text(0)});
    }
    if (command == "AS") {
        m_shutdown = true;
    }
    findings.insert(findings.end(), form.begin(), form.end());
    findings.insert(findings.end(), outcome.findings.begin(), outcome.findings.end());
    for (Finding& finding : findings) {
        if (finding.command.empty()) {
            finding.command = command;
        }
        report(finding);
    }
    return reply;
}

void SimulatedHost::giveBack(const char* pointer) {
    const std::string command = pointer != nullptr ? m_ledger.commandOf(pointer) : std::string();
    const std::vector<Finding> findings = m_ledger.giveBack(pointer);
    m_sink.emit(GiveBackRecord{
        m_log.line, pointer == nullptr ? std::nullopt : std::optional<std::string>(command)});
    for (const Finding& finding : findings) {
        report(finding);
    }
}

void SimulatedHost::endEvent() {
    for (const Finding& finding : m_ledger.endOfEvent()) {
        report(finding);
    }
}

void SimulatedHost::endDestruction() {
    endEvent();
    if (!m_shutdown) {
        report({Rule::ShutdownMissing, "", "the destructor returned without sending AS"});
    }
    for (int device : m_world.registeredRouters()) {
        report({Rule::RouterLeftRegistered, "RR " + std::to_string(device),
                "router " + std::to_string(device) + " is still registered"});
    }
    m_world.dropRegistrations();
}
