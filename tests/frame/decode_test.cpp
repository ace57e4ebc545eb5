#include "decodeTARNString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> wordsOf(const char* text) {
    decodeTARNString decoded(text, '\'');
    return std::vector<std::string>(decoded.tokens, decoded.tokens + decoded.tokenCount);
}

TEST(DecodeTARNString, SplitsAtSpacesHonouringTheQuote) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"12 34", {"12", "34"}},
        {"   ", {""}},
        {"'12' '34'", {"", "12", "34"}},
        {"a '' b", {"a", "", "b"}},
        {"ab'cd ef'gh", {"ab", "cd ef", "gh"}},
        {"'abc", {"", "abc"}},
        {" 12 34", {"", "12", "34"}},
        {"12   34  ", {"12", "34"}},
        {"a\tb\nc", {"a\tb\nc"}},
        {"''", {"", ""}},
        {"x'a b'", {"x", "a b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(wordsOf(c.text), c.words);
    }
}

TEST(DecodeTARNString, NullAndEmptyTextsGiveNoWords) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        decodeTARNString decoded(text, '\'');
        EXPECT_EQ(decoded.tokenCount, 0);
        EXPECT_EQ(decoded.buffer, nullptr);
        for (char* token : decoded.tokens) {
            ASSERT_NE(token, nullptr);
            EXPECT_STREQ(token, "");
        }
    }
}

TEST(DecodeTARNString, KeepsTheFirstThirtyTwoWords) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "w" + std::to_string(i) + " ";
    }
    decodeTARNString decoded(text.c_str(), '\'');
    ASSERT_EQ(decoded.tokenCount, 32);
    EXPECT_STREQ(decoded.tokens[0], "w0");
    EXPECT_STREQ(decoded.tokens[31], "w31");
}

TEST(DecodeTARNString, WordsOutliveTheDecodedText) {
    std::string text = "7 12";
    decodeTARNString decoded(text.c_str(), '\'');
    text.assign("xxxxxxxx");
    EXPECT_STREQ(decoded.tokens[0], "7");
    EXPECT_STREQ(decoded.tokens[1], "12");
    EXPECT_EQ(decoded.quote, '\'');
}

TEST(DecodeTARNString, UsesTheQuoteItWasGiven) {
    decodeTARNString decoded("a \"b c\" 'd e'", '"');
    ASSERT_EQ(decoded.tokenCount, 4);
    EXPECT_STREQ(decoded.tokens[1], "b c");
    EXPECT_STREQ(decoded.tokens[2], "'d");
    EXPECT_STREQ(decoded.tokens[3], "e'");
}

} // namespace
