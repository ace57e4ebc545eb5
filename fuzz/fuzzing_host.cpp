#include "fuzzing_host.h"

#include "GiveBackRule.h"

#include <cstring>

namespace {
const char* const knownCodes[] = {"PS", "TP", "TG", "HN", "RN", "SD", "XI", "RR", "RU", "ET", "AS"};

bool known(const std::string& code) {
    for (const char* candidate : knownCodes) {
        if (code == candidate) {
            return true;
        }
    }
    return false;
}
} // namespace

FuzzingHost::~FuzzingHost() {
    for (char* reply : m_kept) {
        delete[] reply;
    }
    delete[] m_pending;
}

void FuzzingHost::reserved() {
    fuzzFailure("the component called the host's reserved slot", "");
}

char* FuzzingHost::nextReply() {
    if (m_replies.done()) {
        return nullptr;
    }
    const std::string line = cText(m_replies.next());
    if (line == "~") {
        return nullptr;
    }
    char* reply = new char[line.size() + 1];
    std::memcpy(reply, line.c_str(), line.size() + 1);
    return reply;
}

char* FuzzingHost::send(const char* text, int mode) {
    if (m_shutDown) {
        fuzzFailure("a text after the shutdown notice", text != nullptr ? text : "(null)");
    }
    if (mode == ClientHost::GiveBack) {
        if (!m_pendingWanted) {
            fuzzFailure("a give-back without a reply that may be given back",
                        text != nullptr ? text : "(null)");
        }
        if (text != m_pending) {
            fuzzFailure("the give-back is not the reply just given", m_pendingCommand);
        }
        delete[] m_pending;
        m_pending = nullptr;
        m_pendingWanted = false;
        return nullptr;
    }
    if (mode != ClientHost::Command) {
        fuzzFailure("a mode other than 0 and 5", std::to_string(mode));
    }
    if (text == nullptr) {
        fuzzFailure("a null command", "");
    }
    if (m_pendingWanted) {
        fuzzFailure("a reply not given back before the next command", m_pendingCommand);
    }
    const std::string command = text;
    const std::string code = command.substr(0, 2);
    if (!known(code) || (command.size() > 2 && command[2] != ' ')) {
        fuzzFailure("an unknown command", command);
    }
    if (code == "AS") {
        if (!m_destroying || command != "AS") {
            fuzzFailure("the shutdown notice outside destruction", command);
        }
        m_shutDown = true;
    }
    m_callCommands.push_back(command);

    char* reply = nextReply();
    if (replyIsOwed(code, reply == nullptr)) {
        m_pending = reply;
        m_pendingWanted = true;
        m_pendingCommand = command;
    } else if (reply != nullptr) {
        m_kept.push_back(reply);
    }
    return reply;
}

void FuzzingHost::beginCall(bool destroying) {
    m_callCommands.clear();
    m_destroying = destroying;
}

void FuzzingHost::endCall() {
    if (m_pendingWanted) {
        fuzzFailure("a reply still held when the host call returned", m_pendingCommand);
    }
    for (char* reply : m_kept) {
        delete[] reply;
    }
    m_kept.clear();
    if (m_destroying && (!m_shutDown || m_callCommands.empty() || m_callCommands.back() != "AS")) {
        fuzzFailure("destruction ends with the shutdown notice", "");
    }
}
