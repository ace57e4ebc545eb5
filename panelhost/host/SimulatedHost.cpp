#include "host/SimulatedHost.h"

#include "CommandTable.h"

void TARN_THISCALL SimulatedHost::reserved() {}

void SimulatedHost::beginStep(int line, bool implicit) {
    m_log = StepLog();
    m_log.line = line;
    m_log.implicit = implicit;
}

void SimulatedHost::report(const Finding& finding) {
    const BreachRecord breach{m_log.line,     m_breaches++,   finding.rule, finding.command,
                              finding.detail, m_log.implicit, m_instance};
    m_log.breaches.push_back(breach);
    m_sink.emit(breach);
}

void SimulatedHost::found(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) {
        report(finding);
    }
}

void SimulatedHost::noCommand(const ContractChecker::Send& sent, const char* text, int) {
    if (sent.giveBack) {
        m_sink.emit(GiveBackRecord{m_log.line,
                                   text == nullptr ? std::nullopt
                                                   : std::optional<std::string>(sent.givenBackOf),
                                   m_instance});
    }
}

// The world acts; the command and its reply are recorded, then what is wrong
// with it: the checker's findings first, then the world's.
AuditingHost::Answer SimulatedHost::answer(const ContractChecker::Send& sent, const char*) {
    CommandOutcome outcome;
    if (sent.carryOut) {
        outcome = m_world.execute(sent.text, sent.parsed, m_panels);
    }
    for (Finding& finding : outcome.findings) {
        if (finding.command.empty()) {
            finding.command = sent.text;
        }
    }
    m_reply = outcome.reply;
    return Answer{outcome.reply, outcome.findings};
}

void SimulatedHost::replied(const ContractChecker::Send& sent, const char* reply) {
    m_log.sent.push_back(sent.text);
    m_sink.emit(SentRecord{m_log.line, sent.text, m_reply,
                           replyIsOwed(sent.parsed.code, reply == nullptr), m_instance});
    if (sent.parsed.code == "HN" && sent.parsed.arguments.size() == 1) {
        m_log.events.push_back(sent.parsed.text(0));
        m_raised.push_back(sent.parsed.text(0));
        m_sink.emit(EventRecord{m_log.line, sent.parsed.text(0), m_instance});
    }
}
