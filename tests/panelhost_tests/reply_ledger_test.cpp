#include "CommandTable.h"
#include "ReplyLedger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ids(const std::vector<Finding>& findings) {
    std::vector<std::string> out;
    for (const Finding& finding : findings) {
        out.push_back(ruleInfo(finding.rule).id + (" " + finding.command));
    }
    return out;
}

using Ids = std::vector<std::string>;

TEST(host_kit_CommandTable, OwesBackOnlyTheRepliesThatCommandsRead) {
    EXPECT_EQ(replyOwedFor("RN"), ReplyOwed::Always);
    for (const char* code : {"SD", "XI", "TG"}) {
        EXPECT_EQ(replyOwedFor(code), ReplyOwed::WhenNotNull) << code;
    }
    for (const char* code : {"PS", "TP", "HN", "RR", "RU", "ET", "AS", "ZZ"}) {
        EXPECT_EQ(replyOwedFor(code), ReplyOwed::Never) << code;
    }
}

TEST(host_kit_ReplyLedger, ReplyGivenBackOnceSettlesIt) {
    ReplyLedger ledger;
    char* reply = ledger.issue("SD 'A'", std::string("20 7"));
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(reply, "20 7");
    EXPECT_TRUE(ledger.giveBack(reply).empty());
    EXPECT_TRUE(ledger.beforeCommand().empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());
    EXPECT_EQ(ledger.counts().givenBack, 1);
}

TEST(host_kit_ReplyLedger, ReportsEachWayOfGettingGiveBacksWrong) {
    ReplyLedger ledger;
    char* kept = ledger.issue("TG '1' 'c' 'p'", std::string("p=v"));
    char* twice = ledger.issue("XI '1' 'a'", std::string("a1"));
    char* panel = ledger.issue("PS '1' 'f'", std::string("OK"));
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

TEST(host_kit_ReplyLedger, OwedRepliesComeBackBeforeTheNextCommand) {
    ReplyLedger ledger;
    ledger.issue("SD 'A'", std::string("20 7"));
    EXPECT_EQ(ids(ledger.beforeCommand()), Ids{"GB1 SD 'A'"});
    EXPECT_TRUE(ledger.endOfEvent().empty()) << "reported once";

    EXPECT_EQ(ledger.issue("RN 20 1 7", std::nullopt), nullptr);
    EXPECT_EQ(ids(ledger.beforeCommand()), Ids{"GB5 RN 20 1 7"});
    EXPECT_EQ(ledger.issue("RN 20 1 8", std::nullopt), nullptr);
    EXPECT_TRUE(ledger.giveBack(nullptr).empty());
    EXPECT_TRUE(ledger.beforeCommand().empty());
    EXPECT_EQ(ledger.issue("RN 20 1 9", std::nullopt), nullptr);
    EXPECT_EQ(ids(ledger.endOfEvent()), Ids{"GB5 RN 20 1 9"});

    // Nulls owed by nothing are legal, and the host's own replies are never owed.
    EXPECT_EQ(ledger.issue("SD 'X'", std::nullopt), nullptr);
    EXPECT_TRUE(ledger.giveBack(nullptr).empty());
    ledger.issue("PS '1' 'f'", std::string("OK"));
    EXPECT_TRUE(ledger.beforeCommand().empty());
    EXPECT_TRUE(ledger.endOfEvent().empty());
    EXPECT_EQ(ledger.counts().kept, 1);
}

TEST(host_kit_ReplyLedger, KeepsOnlyTheNewestSettledRepliesAlive) {
    // Memory stays bounded however long the run: beyond `keep` settled replies the
    // oldest is released and no longer known.
    ReplyLedger ledger(2);
    std::vector<char*> replies;
    for (int i = 0; i < 4; ++i) {
        replies.push_back(ledger.issue("RN 1 1 " + std::to_string(i), std::string("name")));
        EXPECT_TRUE(ledger.giveBack(replies.back()).empty());
    }
    EXPECT_EQ(ledger.commandOf(replies[3]), "RN 1 1 3");
    EXPECT_EQ(ledger.commandOf(replies[2]), "RN 1 1 2");
    EXPECT_EQ(ledger.commandOf(replies[1]), "");
    EXPECT_EQ(ids(ledger.giveBack(replies[3])), Ids{"GB2 RN 1 1 3"});
}

} // namespace
