#include "CommandText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
    const char* text;
    std::string key;
    std::vector<std::string> subs;
    bool hasValue;
    std::string value;
};

std::vector<std::string> subsOf(const CommandText& parsed) {
    return std::vector<std::string>(parsed.sub, parsed.sub + parsed.subCount);
}

TEST(CommandText, SplitsKeySubPartsAndValue) {
    const ParseCase cases[] = {
        {"a.b.c=d.e", "a", {"b", "c"}, true, "d.e"},
        {"instance=router1", "instance", {}, true, "router1"},
        {"a.b", "a", {"b"}, false, ""},
        {"allkey", "allkey", {}, false, ""},
        {"=value", "", {}, true, "value"},
        {"key=", "key", {}, true, ""},
        {"a..b=1", "a", {"", "b"}, true, "1"},
        {"a=b=c", "a", {}, true, "b=c"},
        {".x", "", {"x"}, false, ""},
        {"a.", "a", {""}, false, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        CommandText parsed(c.text);
        EXPECT_EQ(parsed.key, c.key);
        EXPECT_EQ(subsOf(parsed), c.subs);
        EXPECT_EQ(parsed.subCount, static_cast<int>(c.subs.size()));
        EXPECT_EQ(parsed.hasValue, c.hasValue);
        EXPECT_EQ(parsed.value, c.value);
        ASSERT_NE(parsed.buffer, nullptr);
        EXPECT_EQ(parsed.key, parsed.buffer) << "the key starts the parser's own copy";
    }
}

TEST(CommandText, NullAndEmptyTextsGiveAnEmptyCommandWithoutBuffer) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        CommandText parsed(text);
        EXPECT_EQ(parsed.buffer, nullptr);
        EXPECT_STREQ(parsed.key, "");
        EXPECT_STREQ(parsed.value, "");
        EXPECT_EQ(parsed.subCount, 0);
        EXPECT_FALSE(parsed.hasValue);
        EXPECT_EQ(parsed.key, parsed.value) << "unset fields share one empty text";
        for (char* part : parsed.sub) {
            EXPECT_EQ(part, parsed.key);
        }
    }
}

TEST(CommandText, StopsAtThirtyTwoSubPartsWithTheRestInTheLast) {
    std::string text = "k";
    for (int i = 1; i <= 33; ++i) {
        text += "." + std::to_string(i);
    }
    text += "=v";
    CommandText parsed(text.c_str());
    EXPECT_EQ(parsed.subCount, 32);
    EXPECT_STREQ(parsed.sub[0], "1");
    EXPECT_STREQ(parsed.sub[30], "31");
    EXPECT_STREQ(parsed.sub[31], "32.33=v") << "the 33rd dot and the = stay in the last part";
    EXPECT_FALSE(parsed.hasValue);
    EXPECT_STREQ(parsed.value, "");
}

TEST(CommandText, CopiesTheTextSoTheCallersTextIsUntouched) {
    char text[] = "a.b=c";
    CommandText parsed(text);
    EXPECT_STREQ(text, "a.b=c");
    EXPECT_NE(parsed.buffer, text);
    text[0] = 'z';
    EXPECT_STREQ(parsed.key, "a");
}

} // namespace
