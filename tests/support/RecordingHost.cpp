#include "RecordingHost.h"

#include <cstring>

RecordingHost::~RecordingHost() = default;

void RecordingHost::reserved() {}

void RecordingHost::reply(const std::string& command, const std::string& text) {
    m_replies[command] = text;
}

void RecordingHost::noReply(const std::string& command) {
    m_replies[command] = std::nullopt;
}

void RecordingHost::replyToPrefix(const std::string& prefix, std::optional<std::string> text) {
    m_prefixes.emplace_back(prefix, std::move(text));
}

char* RecordingHost::send(const char* text, int mode) {
    if (mode == ClientHost::GiveBack) {
        if (text == nullptr) {
            ++m_nullGiveBacks;
            m_traffic.push_back("[5] (null)");
            return nullptr;
        }
        for (Issued& issued : m_issued) {
            if (issued.text.get() == text) {
                if (issued.givenBack) {
                    ++m_doubleGiveBacks;
                }
                issued.givenBack = true;
                m_traffic.push_back(std::string("[5] ") + issued.text.get());
                return nullptr;
            }
        }
        ++m_foreignGiveBacks;
        m_traffic.push_back("[5] (foreign)");
        return nullptr;
    }
    if (mode != ClientHost::Command) {
        ++m_otherModes;
    }
    const std::string command = text != nullptr ? text : "(null)";
    m_traffic.push_back(command);
    std::optional<std::string> answer;
    const auto found = m_replies.find(command);
    if (found != m_replies.end()) {
        answer = found->second;
    } else {
        for (auto rule = m_prefixes.rbegin(); rule != m_prefixes.rend(); ++rule) {
            if (command.rfind(rule->first, 0) == 0) {
                answer = rule->second;
                break;
            }
        }
    }
    if (!answer) {
        return nullptr;
    }
    Issued issued;
    issued.text.reset(new char[answer->size() + 1]);
    std::memcpy(issued.text.get(), answer->c_str(), answer->size() + 1);
    char* result = issued.text.get();
    m_issued.push_back(std::move(issued));
    return result;
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
    int outstanding = 0;
    for (const Issued& issued : m_issued) {
        if (!issued.givenBack) {
            ++outstanding;
        }
    }
    return outstanding;
}
