// RecordingHost: a fake panel host for the tests. It records every text a
// component sends, in order, answers commands with replies configured per command
// text, and keeps a ledger of the replies it issued so that a test can check that
// each was given back exactly once, and nothing else was.
#pragma once

#include "ClientHost.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class RecordingHost : public ClientHost {
public:
    RecordingHost() = default;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;
    ~RecordingHost();

    void reserved() override;
    char* send(const char* text, int mode) override;

    // Replies: the exact command text gets `reply`; noReply makes it answer null.
    // Other commands that begin with a prefix given to replyToPrefix get that
    // prefix's reply (the last prefix given wins); the rest get null.
    void reply(const std::string& command, const std::string& text);
    void noReply(const std::string& command);
    void replyToPrefix(const std::string& prefix, std::optional<std::string> text);

    // The whole traffic in order: a command as its text, a give-back as
    // "[5] " followed by the reply's text, or "[5] (null)".
    const std::vector<std::string>& traffic() const { return m_traffic; }
    // The mode-0 commands alone, in order.
    std::vector<std::string> commands() const;
    void clear() { m_traffic.clear(); }

    // Ledger findings: replies not given back, given back twice, and pointers
    // given back that this host never issued.
    int outstandingReplies() const;
    int doubleGiveBacks() const { return m_doubleGiveBacks; }
    int foreignGiveBacks() const { return m_foreignGiveBacks; }
    int nullGiveBacks() const { return m_nullGiveBacks; }
    int otherModes() const { return m_otherModes; }

private:
    struct Issued {
        std::unique_ptr<char[]> text;
        bool givenBack = false;
    };

    std::map<std::string, std::optional<std::string>> m_replies;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_prefixes;
    std::vector<std::string> m_traffic;
    std::vector<Issued> m_issued; // kept until the host dies, so addresses stay unique
    int m_doubleGiveBacks = 0;
    int m_foreignGiveBacks = 0;
    int m_nullGiveBacks = 0;
    int m_otherModes = 0;
};
