#include "CommandSyntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> rulesOf(const std::string& text) {
    ParsedCommand parsed;
    std::vector<std::string> ids;
    for (const Finding& finding : parseCommand(text, parsed)) {
        ids.push_back(ruleInfo(finding.rule).id);
    }
    return ids;
}

using Ids = std::vector<std::string>;

TEST(panelhost_CommandSyntax, JudgesEveryFormOfCommand) {
    const struct {
        const char* text;
        Ids rules;
    } cases[] = {
        // every command the component sends, well formed
        {"PS '1' '/ui/quillon.tarn_ui'", {}},
        {"PS '1' 'quillon.tarn_ui' 'extra'", {}},
        {"TP 'text=Unknown|Destination' '1' 'myDest'", {}},
        {"TP 'text=' '1' 'myDest'", {}},
        {"TG '1' 'alm_a' 'value'", {}},
        {"HN 'selected=12'", {}},
        {"RN 20 1 -1", {}},
        {"SD ''", {}},
        {"SD 'with spaces inside'", {}},
        {"XI '1' 'alm_'", {}},
        {"RR 20 1 1", {}},
        {"RR 20 1 1 'ADD'", {}},
        {"RU 0", {}},
        {"ET 4", {}},
        {"AS", {}},
        // the code
        {"tp 'text=x' '1' 'myDest'", {"CT1"}},
        {"T", {"CT1"}},
        {"", {"CT1"}},
        {"TPX 'a=b' '1' 'c'", {"CT1"}},
        {" TP 'a=b' '1' 'c'", {"CT1", "CT2"}},
        // spaces
        {"TP  'a=b' '1' 'c'", {"CT2"}},
        {"TP 'a=b' '1' 'c' ", {"CT2"}},
        {"RR 20  1 1", {"CT2"}},
        // quotes
        {"TP 'a=b '1' 'c'", {"CT3"}},
        {"TP 'it's' '1' 'c'", {"CT3"}},
        {"SD 'open", {"CT3"}},
        {"RN 2'0 1 1", {"CT3"}},
        // the template of the code
        {"ZZ 1", {"CT4"}},
        {"AS 1", {"CT5"}},
        {"RN 020 1 1", {"CT5"}},
        {"RN '20' 1 1", {"CT5"}},
        {"RN 20 1", {"CT5"}},
        {"HN selected", {"CT5"}},
        {"TP 'nothing' '1' 'c'", {"CT5"}},
        {"RR 20 1 1 'DEL'", {"CT5"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rulesOf(c.text), c.rules) << c.text;
    }
}

TEST(panelhost_CommandSyntax, SplitsArgumentsKeepingQuotedSpaces) {
    ParsedCommand parsed;
    EXPECT_TRUE(parseCommand("TP 'text=A b' '1' 'myDest'", parsed).empty());
    ASSERT_EQ(parsed.arguments.size(), 3u);
    EXPECT_EQ(parsed.code, "TP");
    EXPECT_EQ(parsed.text(0), "text=A b");
    EXPECT_TRUE(parsed.arguments[0].quoted);
    EXPECT_EQ(parsed.text(3), "");

    EXPECT_TRUE(parseCommand("RN 20 1 -7", parsed).empty());
    int index = 0;
    EXPECT_TRUE(parsed.number(2, index));
    EXPECT_EQ(index, -7);
    EXPECT_FALSE(parsed.number(3, index));
}

} // namespace
