#include "SimulatedHost.h"

#include "GiveBackRule.h"

#include "CommandSyntax.h"

using nlohmann::json;

void SimulatedHost::reserved() {}

void SimulatedHost::beginStep(int line) {
    m_line = line;
    m_log = StepLog();
}

void SimulatedHost::beginLife() {
    m_shutdown = false;
}

void SimulatedHost::report(const Finding& finding) {
    const RuleInfo& info = ruleInfo(finding.rule);
    m_log.breaches.push_back(finding);
    m_sink.emit({{"type", "breach"},
                 {"line", m_line},
                 {"rule", info.id},
                 {"name", info.name},
                 {"severity", severityName(info.severity)},
                 {"command", finding.command},
                 {"detail", finding.detail}});
}

char* SimulatedHost::send(const char* text, int mode) {
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
    ParsedCommand parsed;
    std::vector<Finding> findings = parseCommand(command, parsed);
    CommandOutcome outcome;
    if (findings.empty() || findings.front().rule == Rule::BadArguments) {
        outcome = m_world.execute(command, parsed);
    } else if (findings.front().rule == Rule::UnknownCommand) {
        outcome = m_world.execute(command, parsed); // only scripted answers apply
    }
    const ReplyLedger::Owed owed = ReplyLedger::owedFor(parsed.code);
    char* reply = m_ledger.issue(command, outcome.reply, owed);
    m_log.sent.push_back(command);
    m_sink.emit({{"type", "sent"},
                 {"line", m_line},
                 {"command", command},
                 {"reply", outcome.reply ? json(*outcome.reply) : json(nullptr)},
                 {"owed", replyIsOwed(parsed.code, reply == nullptr)}});
    if (parsed.code == "HN" && parsed.arguments.size() == 1) {
        m_log.events.push_back(parsed.text(0));
        m_sink.emit({{"type", "event"}, {"line", m_line}, {"text", parsed.text(0)}});
    }
    if (command == "AS") {
        m_shutdown = true;
    }
    findings.insert(findings.end(), outcome.findings.begin(), outcome.findings.end());
    for (Finding& finding : findings) {
        finding.command = command;
        report(finding);
    }
    return reply;
}

void SimulatedHost::giveBack(const char* pointer) {
    const std::string command = pointer != nullptr ? m_ledger.commandOf(pointer) : std::string();
    const std::vector<Finding> findings = m_ledger.giveBack(pointer);
    m_sink.emit({{"type", "giveback"},
                 {"line", m_line},
                 {"of", pointer == nullptr ? json(nullptr) : json(command)}});
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
