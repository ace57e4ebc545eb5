#include "ReplyLedger.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Owed = ReplyLedger::Owed;

std::vector<std::string> ids(const std::vector<Finding>& findings) {
    std::vector<std::string> out;
    for (const Finding& finding : findings) {
        out.push_back(ruleInfo(finding.rule).id + (" " + finding.command));
    }
    return out;
}

using Ids = std::vector<std::string>;

TEST(panelhost_ReplyLedger, OwesBackOnlyTheRepliesThatCommandsRead) {
    EXPECT_EQ(ReplyLedger::owedFor("RN"), Owed::Always);
    for (const char* code : {"SD", "XI", "TG"}) {
        EXPECT_EQ(ReplyLedger::owedFor(code), Owed::WhenNotNull) << code;
    }
    for (const char* code : {"PS", "TP", "HN", "RR", "RU", "ET", "AS", "ZZ"}) {
        EXPECT_EQ(ReplyLedger::owedFor(code), Owed::Never) << code;
    }
}

TEST(panelhost_ReplyLedger, ReplyGivenBackOnceSettlesIt) {
    ReplyLedger ledger;
    char* reply = ledger.issue("SD 'A'", std::string("20 7"), Owed::WhenNotNull);
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(reply, "20 7");
    EXPECT_TRUE(ledger.giveBack(reply).empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());
    EXPECT_EQ(ledger.commandOf(reply), "SD 'A'");
}

TEST(panelhost_ReplyLedger, ReportsEachWayOfGettingGiveBacksWrong) {
    ReplyLedger ledger;
    char* kept = ledger.issue("TG '1' 'c' 'p'", std::string("p=v"), Owed::WhenNotNull);
    char* twice = ledger.issue("XI '1' 'a'", std::string("a1"), Owed::WhenNotNull);
    char* panel = ledger.issue("PS '1' 'f'", std::string("OK"), Owed::Never);
    char foreign[] = "mine";

    EXPECT_TRUE(ledger.giveBack(twice).empty());
    EXPECT_EQ(ids(ledger.giveBack(twice)), Ids{"GB2 XI '1' 'a'"});
    EXPECT_EQ(ids(ledger.giveBack(foreign)), Ids{"GB3 "});
    EXPECT_EQ(ids(ledger.giveBack(panel)), Ids{"GB4 PS '1' 'f'"});
    EXPECT_EQ(ids(ledger.endOfEvent()), Ids{"GB1 TG '1' 'c' 'p'"});
    // Reported once; a late give-back is then taken without a second report.
    EXPECT_TRUE(ledger.giveBack(kept).empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());
}

TEST(panelhost_ReplyLedger, LookupWithoutReplyIsOwedANullGiveBack) {
    ReplyLedger ledger;
    EXPECT_EQ(ledger.issue("RN 20 1 7", std::nullopt, Owed::Always), nullptr);
    EXPECT_TRUE(ledger.giveBack(nullptr).empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());

    EXPECT_EQ(ledger.issue("RN 20 1 8", std::nullopt, Owed::Always), nullptr);
    EXPECT_EQ(ids(ledger.endOfEvent()), Ids{"GB5 RN 20 1 8"});

    // Nulls owed by nothing, and replies that were never issued, are legal.
    EXPECT_EQ(ledger.issue("SD 'X'", std::nullopt, Owed::WhenNotNull), nullptr);
    EXPECT_TRUE(ledger.giveBack(nullptr).empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());
}

TEST(panelhost_ReplyLedger, EveryReplyIsAFreshBuffer) {
    ReplyLedger ledger;
    char* first = ledger.issue("RN 1 1 1", std::string("same"), Owed::Always);
    char* second = ledger.issue("RN 1 1 1", std::string("same"), Owed::Always);
    EXPECT_NE(first, second);
    EXPECT_TRUE(ledger.giveBack(first).empty());
    EXPECT_TRUE(ledger.giveBack(second).empty());
}

} // namespace
