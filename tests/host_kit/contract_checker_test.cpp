#include "ContractChecker.h"

#include "ClientHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Call = ContractChecker::Call;

// Drives a checker as a host would and notes each finding as "N ID": the rule,
// and the number of the host call in which the checker made it.
class Host {
public:
    void begin(Call call, int type = 0) {
        ++m_calls;
        note(m_checker.beginCall(call, type));
    }
    char* send(const char* text, int mode = ClientHost::Command,
               std::optional<std::string> reply = std::nullopt) {
        const ContractChecker::Send sent = m_checker.send(text, mode);
        note(sent.findings);
        return m_checker.reply(sent, reply);
    }
    void end(const char* result = nullptr) { note(m_checker.endCall(result)); }
    ContractChecker& checker() { return m_checker; }
    const std::vector<std::string>& seen() const { return m_seen; }

private:
    void note(const std::vector<Finding>& findings) {
        for (const Finding& finding : findings) {
            m_seen.push_back(std::to_string(m_calls) + " " + ruleInfo(finding.rule).id);
        }
    }
    ContractChecker m_checker;
    std::vector<std::string> m_seen;
    int m_calls = 0;
};

struct Case {
    const char* name;
    std::function<void(Host&)> play;
    std::vector<std::string> expected;
};

TEST(host_kit_ContractChecker, EachRuleFiresInTheCallThatBreaksIt) {
    const char* const tp = "TP 'text=x' '1' 'b'";
    const Case cases[] = {
        {"a clean life",
         [&](Host& h) {
             h.begin(Call::Create);
             h.send("PS '1' 'b.tarn_ui'", ClientHost::Command, std::string("OK"));
             h.send("RR 20 1 1");
             h.end();
             h.begin(Call::Event, 3);
             char* reply = h.send("SD 'a'", ClientHost::Command, std::string("20 7"));
             h.send(reply, ClientHost::GiveBack);
             h.end("done");
             h.begin(Call::Destroy);
             h.send("RU 20");
             h.send("AS");
             h.end();
         },
         {}},
        {"AS from a parent command, then calls after it",
         [&](Host& h) {
             h.begin(Call::Event, 3);
             h.send("AS");
             h.end();
             h.begin(Call::Event, 2);
             h.send(tp);
             h.end();
             h.begin(Call::Destroy);
             h.send("AS");
             h.end();
         },
         {"1 SH4", "2 SH1", "3 SH1"}},
        {"destroyed without AS, a router left and one never registered",
         [&](Host& h) {
             h.begin(Call::Create);
             h.send("RR 20 1 1");
             h.send("RU 30");
             h.end();
             h.begin(Call::Destroy);
             h.end();
         },
         {"1 WD5", "2 SH2", "2 SH3"}},
        {"results: one for a press, an empty reply, and a fine one",
         [&](Host& h) {
             h.begin(Call::Event, 2);
             h.end("x");
             h.begin(Call::Event, 3);
             h.end("");
             h.begin(Call::Event, 3);
             h.end("fine");
         },
         {"1 CB1", "2 CB2"}},
        {"the ledger and the command form",
         [&](Host& h) {
             h.begin(Call::Event, 3);
             h.send("SD 'a'", ClientHost::Command, std::string("20 7"));
             h.send(tp, 3);
             h.send("tp 'x'");
             h.end();
         },
         {"1 CT6", "1 GB1", "1 CT1"}},
        {"a send from another thread during a call, and one between calls",
         [&](Host& h) {
             h.begin(Call::Event, 2);
             std::thread([&] { h.checker().send(tp, ClientHost::Command); }).join();
             h.send(tp);
             h.end();
             std::thread([&] { h.checker().send(tp, ClientHost::Command); }).join();
             h.begin(Call::Event, 2);
             h.end();
         },
         {"1 TH1", "2 TH1"}},
        {"a send while no call runs, on the host's thread",
         [&](Host& h) {
             h.begin(Call::Event, 2);
             h.end();
             h.send(tp);
         },
         {"1 TH2"}},
    };
    for (const Case& c : cases) {
        Host host;
        c.play(host);
        EXPECT_EQ(host.seen(), c.expected) << c.name;
    }
}

TEST(host_kit_ContractChecker, ASendFromAnotherThreadIsRefusedAndTouchesNothing) {
    ContractChecker checker;
    checker.beginCall(Call::Event, 2);
    ContractChecker::Send sent;
    std::thread([&] { sent = checker.send("RR 20 1 1", ClientHost::Command); }).join();
    EXPECT_TRUE(sent.refused);
    EXPECT_TRUE(sent.findings.empty()) << "the host's thread hears of it";
    EXPECT_EQ(checker.reply(sent, std::string("OK")), nullptr);
    EXPECT_TRUE(checker.registeredRouters().empty());
    EXPECT_EQ(checker.ledger().counts().commands, 0);
    EXPECT_EQ(checker.endCall().size(), 1u);
}

} // namespace
