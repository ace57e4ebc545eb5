#include "host/SimulatedHost.h"

#include "CommandTable.h"

void TARN_THISCALL SimulatedHost::reserved() {}

void SimulatedHost::beginStep(int line) {
    m_log = StepLog();
    m_log.line = line;
}

void SimulatedHost::beginCall(ContractChecker::Call call, int type) {
    reportAll(m_checker.beginCall(call, type));
}

void SimulatedHost::endCall(const char* result) {
    reportAll(m_checker.endCall(result));
}

void SimulatedHost::report(const Finding& finding) {
    const BreachRecord breach{m_log.line, m_breaches++, finding.rule, finding.command,
                              finding.detail};
    m_log.breaches.push_back(breach);
    m_sink.emit(breach);
}

void SimulatedHost::reportAll(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) {
        report(finding);
    }
}

char* TARN_THISCALL SimulatedHost::send(const char* text, int mode) {
    const ContractChecker::Send sent = m_checker.send(text, mode);
    if (sent.refused && sent.findings.empty()) {
        return nullptr; // another thread's: the finding comes on the host's thread
    }
    if (sent.giveBack) {
        m_sink.emit(GiveBackRecord{m_log.line, text == nullptr
                                                   ? std::nullopt
                                                   : std::optional<std::string>(sent.givenBackOf)});
    }
    if (!sent.command) {
        reportAll(sent.findings);
        return nullptr;
    }
    // The world acts, the command and its reply are recorded, then what is wrong
    // with it: the checker's findings first, then the world's.
    CommandOutcome outcome;
    if (sent.carryOut) {
        outcome = m_world.execute(sent.text, sent.parsed);
    }
    char* reply = m_checker.reply(sent, outcome.reply);
    m_log.sent.push_back(sent.text);
    m_sink.emit(SentRecord{m_log.line, sent.text, outcome.reply,
                           replyIsOwed(sent.parsed.code, reply == nullptr)});
    if (sent.parsed.code == "HN" && sent.parsed.arguments.size() == 1) {
        m_log.events.push_back(sent.parsed.text(0));
        m_sink.emit(EventRecord{m_log.line, sent.parsed.text(0)});
    }
    reportAll(sent.findings);
    for (Finding& finding : outcome.findings) {
        if (finding.command.empty()) {
            finding.command = sent.text;
        }
        report(finding);
    }
    return reply;
}
