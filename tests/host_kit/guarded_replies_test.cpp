#include "GuardedReplies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Misuse = GuardedReplies::Misuse;

// What describe() makes of `address`, as "misuse command".
std::string named(const void* address) {
    const GuardedReplies::Fault fault = GuardedReplies::describe(address);
    const char* misuse = fault.misuse == Misuse::PastEnd         ? "past-end"
                         : fault.misuse == Misuse::AfterGiveBack ? "after-give-back"
                                                                 : "none";
    return std::string(misuse) +
           (fault.misuse == Misuse::None ? "" : " " + std::string(fault.command));
}

TEST(host_kit_GuardedReplies, AFaultIsNamedByTheReplyItTouched) {
    GuardedReplies& pool = GuardedReplies::shared();
    char* shortReply = pool.place("CAM 1", "SD 'a'");
    const std::string long_text(10000, 'x');
    char* longReply = pool.place(long_text, "XI '1' 'l_'");
    const char mine[] = "the component's own";
    struct Case {
        const char* what;
        const void* address;
        std::string expected;
    };
    const std::vector<Case> live = {
        {"the reply itself", shortReply, "none"},
        {"its NUL", shortReply + 5, "none"},
        {"one past the NUL", shortReply + 6, "past-end SD 'a'"},
        {"past a reply of three pages", longReply + long_text.size() + 1, "past-end XI '1' 'l_'"},
        {"the component's own memory", mine, "none"},
    };
    for (const Case& c : live) {
        EXPECT_EQ(named(c.address), c.expected) << c.what;
    }
    EXPECT_EQ(std::string(shortReply), "CAM 1") << "placed whole, NUL last";

    pool.givenBack(shortReply);
    EXPECT_EQ(named(shortReply), "after-give-back SD 'a'");
    EXPECT_EQ(named(shortReply + 6), "past-end SD 'a'");
    pool.release(shortReply);
    EXPECT_EQ(named(shortReply), "after-give-back SD 'a'") << "released, still quarantined";
    pool.release(longReply);
    EXPECT_EQ(named(longReply), "none") << "a released reply no longer names anything";
}

TEST(host_kit_GuardedReplies, TheQuarantineHoldsTheLastGivenBackOnly) {
    GuardedReplies& pool = GuardedReplies::shared();
    std::vector<char*> replies;
    for (std::size_t i = 0; i <= GuardedReplies::Quarantine; ++i) {
        replies.push_back(pool.place("name " + std::to_string(i), "RN 1 1 " + std::to_string(i)));
        pool.givenBack(replies.back());
    }
    // The oldest left the quarantine: readable again, and still the host's.
    EXPECT_EQ(named(replies.front()), "none");
    EXPECT_EQ(std::string(replies.front()), "name 0");
    EXPECT_EQ(named(replies[1]), "after-give-back RN 1 1 1");
    EXPECT_EQ(named(replies.back()), "after-give-back RN 1 1 256");
    for (char* reply : replies) {
        pool.release(reply);
    }
}

} // namespace
