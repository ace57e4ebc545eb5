// The live page's guard: only the token's holder, through the loopback name
// or address with the session's port, from the page's own origin.
#include "live/RequestGuard.h"

#include <gtest/gtest.h>

namespace {

TEST(panelhost_RequestGuard, PassesOnlyTheTokenFromThisHostAndOrigin) {
    const RequestGuard guard("0123456789abcdef0123456789abcdef", 8123);
    const std::string token = guard.token();
    const std::string cookie = guard.cookieName() + "=" + token;
    struct Case {
        const char* what;
        RequestGuard::Presented request;
        bool passes;
    };
    const Case cases[] = {
        {"the token in the query", {"127.0.0.1:8123", "", false, token, ""}, true},
        {"localhost, the cookie among others",
         {"localhost:8123", "", false, "", "a=1; " + cookie + "; b=2"},
         true},
        {"the page's own origin",
         {"127.0.0.1:8123", "http://127.0.0.1:8123", true, token, ""},
         true},
        {"no token", {"127.0.0.1:8123", "", false, "", ""}, false},
        {"a token one digit short", {"127.0.0.1:8123", "", false, token.substr(1), ""}, false},
        {"another session's cookie",
         {"127.0.0.1:8123", "", false, "", "panelhost_live_9=" + token},
         false},
        {"a rebound name", {"attacker.example:8123", "", false, token, ""}, false},
        {"another port", {"127.0.0.1:8124", "", false, token, ""}, false},
        {"no Host", {"", "", false, token, ""}, false},
        {"another site's origin",
         {"127.0.0.1:8123", "http://attacker.example", true, token, ""},
         false},
        {"the other loopback name as origin",
         {"127.0.0.1:8123", "http://localhost:8123", true, token, ""},
         false},
        {"an empty origin (a sandboxed frame's null)",
         {"127.0.0.1:8123", "null", true, token, ""},
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(guard.refusal(c.request).empty(), c.passes) << c.what;
    }
}

TEST(panelhost_RequestGuard, MakesFreshTokens) {
    const std::string first = newToken();
    EXPECT_EQ(first.size(), 32u);
    EXPECT_EQ(first.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(first, newToken());
}

} // namespace
