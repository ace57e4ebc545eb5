#include "AuditingHost.h"

char* TARN_THISCALL AuditingHost::send(const char* text, int mode) {
    const ContractChecker::Send sent = m_checker.send(text, mode);
    if (!sent.command) {
        noCommand(sent, text, mode);
        m_checker.sealGivenBack();
        found(sent.findings);
        return nullptr;
    }
    const Answer given = answer(sent, text);
    char* reply = m_checker.reply(sent, given.reply);
    replied(sent, reply);
    found(sent.findings);
    found(given.findings);
    return reply;
}

void AuditingHost::beginCall(ContractChecker::Call call, int type) {
    found(m_checker.beginCall(call, type));
}

void AuditingHost::endCall(const char* result) {
    found(m_checker.endCall(result));
}

void AuditingHost::collectLate() {
    found(m_checker.late());
}
