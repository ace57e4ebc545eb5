#include "host/SimulatedHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Records : public RecordSink {
public:
    void emit(const Record& record) override { records.push_back(record); }
    std::vector<std::string> breaches() const {
        std::vector<std::string> out;
        for (const Record& record : records) {
            if (const BreachRecord* breach = std::get_if<BreachRecord>(&record)) {
                out.push_back(ruleInfo(breach->rule).id + (" " + breach->command));
            }
        }
        return out;
    }
    std::vector<Record> records;
};

using Ids = std::vector<std::string>;

class panelhost_SimulatedHostTest : public testing::Test {
protected:
    void SetUp() override {
        host.beginStep(5);
        host.beginCall(ContractChecker::Call::Event, 3);
    }
    World world;
    Records sink;
    SimulatedHost host{world, sink};
};

TEST_F(panelhost_SimulatedHostTest, RecordsCommandsRepliesAndEventsOfTheStep) {
    world.setInstance("A", std::string("20 7"));
    char* reply = host.send("SD 'A'", ClientHost::Command);
    ASSERT_NE(reply, nullptr);
    host.send(reply, ClientHost::GiveBack);
    host.send("HN 'selected=7'", ClientHost::Command);
    host.endCall();
    EXPECT_EQ(host.log().sent, (std::vector<std::string>{"SD 'A'", "HN 'selected=7'"}));
    EXPECT_EQ(host.log().events, std::vector<std::string>{"selected=7"});
    EXPECT_TRUE(sink.breaches().empty());
    const SentRecord& sent = std::get<SentRecord>(sink.records[0]);
    EXPECT_EQ(sent.reply, std::optional<std::string>("20 7"));
    EXPECT_TRUE(sent.owed);
    EXPECT_EQ(sent.line, 5);
}

TEST_F(panelhost_SimulatedHostTest, ForgottenReplyIsReportedWithItsCommand) {
    world.setInstance("A", std::string("20 7"));
    host.send("SD 'A'", ClientHost::Command);
    host.endCall();
    EXPECT_EQ(sink.breaches(), Ids{"GB1 SD 'A'"});
    EXPECT_EQ(host.log().breaches.size(), 1u);
}

TEST_F(panelhost_SimulatedHostTest, MalformedCommandsAndModesAreReported) {
    host.send("tp 'x=1' '1' 'c'", ClientHost::Command);
    host.send("TP 'x=1' '1' 'c'", 3);
    host.send(nullptr, ClientHost::Command);
    EXPECT_EQ(sink.breaches(), (Ids{"CT1 tp 'x=1' '1' 'c'", "CT6 TP 'x=1' '1' 'c'", "CT1 "}));
}

} // namespace
