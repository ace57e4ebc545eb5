// RecordingHost: a fake panel host for the tests. It records every text a
// component sends, in order, answers commands with replies configured per command
// text, and judges every send with the host kit's contract checker (AuditingHost),
// so that a test can check that each owed reply came back exactly once, in time,
// and nothing else. A test drives the component (or the frame) directly, so the
// whole test is one host call on the test's thread. Every reply stays allocated
// while the host lives, so addresses stay unique.
#pragma once

#include "AuditingHost.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class RecordingHost final : public AuditingHost {
public:
    RecordingHost();
    ~RecordingHost();

    void TARN_THISCALL reserved() override;

    // Replies: the exact command text gets `reply`; noReply makes it answer null.
    // Other commands that begin with a prefix given to replyToPrefix get that
    // prefix's reply (the last prefix given wins); the rest get null.
    void reply(const std::string& command, const std::string& text);
    void noReply(const std::string& command);
    void replyToPrefix(const std::string& prefix, std::optional<std::string> text);

    // The whole traffic in order: a command as its text, a give-back as
    // "[5] " followed by the reply's text, "[5] (null)" or "[5] (foreign)".
    const std::vector<std::string>& traffic() const { return m_traffic; }
    // The mode-0 commands alone, in order.
    std::vector<std::string> commands() const;
    void clear() { m_traffic.clear(); }

    // Replies issued and not given back (the host's own included).
    int outstandingReplies() const;
    // Ledger findings by kind: given back twice, pointers never issued, replies
    // that stay the host's given back, owed replies not back before the next
    // command. Null give-backs and calls with another mode are counted too.
    int doubleGiveBacks() const { return count(Rule::ReplyGivenBackTwice); }
    int foreignGiveBacks() const { return count(Rule::ForeignGiveBack); }
    int unowedGiveBacks() const { return count(Rule::UnowedGiveBack); }
    int lateGiveBacks() const { return count(Rule::ReplyNotGivenBack); }
    int nullGiveBacks() const {
        return static_cast<int>(checker().ledger().counts().nullGiveBacks);
    }
    int otherModes() const { return m_otherModes; }

private:
    int count(Rule rule) const;
    Answer answer(const ContractChecker::Send& sent, const char* text) override;
    void found(const std::vector<Finding>& findings) override;
    void noCommand(const ContractChecker::Send& sent, const char* text, int mode) override;

    std::map<std::string, std::optional<std::string>> m_replies;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_prefixes;
    std::vector<std::string> m_traffic;
    std::vector<Rule> m_findings;
    int m_otherModes = 0;
};
