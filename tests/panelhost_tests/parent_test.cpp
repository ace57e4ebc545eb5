#include "host/Parent.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the parent delivers for each event after a few rules: the newest rule
// that matches wins, a rule renames the prefix, "others" leaves the raiser
// out, and "none" ends a rule.
TEST(panelhost_Parent, AnswersAnEventByItsNewestMatchingRule) {
    Parent parent;
    parent.setRule("sel", Fact::Relay::Every, std::nullopt);
    parent.setRule("selected=", Fact::Relay::Others, std::string("take="));
    parent.setRule("gone", Fact::Relay::Every, std::nullopt);
    parent.setRule("gone", Fact::Relay::Stop, std::nullopt);
    const struct {
        const char* event;
        const char* command; // null: not delivered
        bool toRaiser;
    } cases[] = {
        {"selected=12", "take=12", false},
        {"selection=-1", "selection=-1", true},
        {"gone=1", nullptr, false},
        {"other=1", nullptr, false},
    };
    for (const auto& c : cases) {
        const std::optional<Parent::Delivery> delivery = parent.answer(c.event);
        ASSERT_EQ(delivery.has_value(), c.command != nullptr) << c.event;
        if (delivery) {
            EXPECT_EQ(delivery->command, c.command) << c.event;
            EXPECT_EQ(delivery->toRaiser, c.toRaiser) << c.event;
        }
    }
}

} // namespace
