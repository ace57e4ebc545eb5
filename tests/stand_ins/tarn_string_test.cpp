#include "tarn_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

namespace {

std::string text(const tarn_string& s) {
    return std::string(static_cast<const char*>(s), s.length());
}

TEST(TarnString, NumbersInBasesWithPadding) {
    const std::string minBinary = "-1" + std::string(31, '0');
    const struct {
        int value;
        char fill;
        unsigned int width;
        int base;
        std::string expected;
    } cases[] = {
        {0, 0, 0, 10, "0"},
        {-1, 0, 0, 10, "-1"},
        {INT_MAX, 0, 0, 10, "2147483647"},
        {INT_MIN, 0, 0, 10, "-2147483648"},
        {INT_MIN, 0, 0, 2, minBinary},
        {255, 0, 0, 16, "ff"},
        {-255, 0, 0, 16, "-ff"},
        {35, 0, 0, 36, "z"},
        {12, 0, 0, 1, "12"},
        {12, 0, 0, 37, "12"},
        {42, 0, 5, 10, "   42"},
        {-42, '0', 5, 10, "-0042"},
        {-42, '*', 5, 10, "**-42"},
        {12345, '0', 3, 10, "12345"},
        {7, '0', 20, 10, std::string(19, '0') + "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(text(tarn_string(c.value, c.fill, c.width, c.base)), c.expected);
        EXPECT_EQ(text(tarn_string("<%1>").arg(c.value, c.fill, c.width, c.base)),
                  "<" + c.expected + ">");
    }
}

TEST(TarnString, ToIntReadsLikeAtoiAndClamps) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"", 0},
        {"42", 42},
        {"  -17x", -17},
        {"+5", 5},
        {"\t\n 8", 8},
        {"\r\v\f7", 7},
        {"abc", 0},
        {"- 5", 0},
        {"12 34", 12},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const tarn_string s(c.text);
        EXPECT_EQ(s.toInt(), c.expected);
        EXPECT_EQ(static_cast<int>(s), c.expected);
    }
}

TEST(TarnString, ArgReplacesEveryLowestMarker) {
    const struct {
        const char* pattern;
        const char* value;
        const char* expected;
    } cases[] = {
        {"a%1b%1", "X", "aXbX"},
        {"%2 %1", "X", "%2 X"},
        {"none", "X", "none"},
        {"%9", "X", "X"},
        {"%3%5%3", "X", "X%5X"},
        {"%0%1", "X", "%0X"},
        {"100%", "X", "100%"},
        {"%", "X", "%"},
        {"%1", "%1", "%1"},
        {"[%1]", "", "[]"},
        {"%%1", "X", "%X"},
        {"%12", "X", "X2"},
        {"%1", "a text longer than fifteen", "a text longer than fifteen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(text(tarn_string(c.pattern).arg(tarn_string(c.value))), c.expected);
    }
    const tarn_string chained = tarn_string("%2-%1-%2").arg(tarn_string("a")).arg(tarn_string("b"));
    EXPECT_EQ(text(chained), "b-a-b");
}

TEST(TarnString, SplitAtFirstSeparator) {
    const struct {
        const char* text;
        const char* before;
        const char* after;
        int result;
    } cases[] = {
        {"a=b=c", "a", "b=c", 1}, {"ab", "ab", "", 0}, {"=x", "", "x", 1},
        {"x=", "x", "", 1},       {"", "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        tarn_string before("stale"), after("stale");
        EXPECT_EQ(tarn_string(c.text).split('=', before, after), c.result);
        EXPECT_EQ(text(before), c.before);
        EXPECT_EQ(text(after), c.after);
    }
    tarn_string s("key=a value longer than fifteen"), rest;
    s.split('=', s, rest);
    EXPECT_EQ(text(s), "key");
    EXPECT_EQ(text(rest), "a value longer than fifteen");
}

TEST(TarnString, ComparisonsAreExact) {
    EXPECT_TRUE(tarn_string("abc") == tarn_string("abc"));
    EXPECT_FALSE(tarn_string("Abc") == tarn_string("abc"));
    EXPECT_TRUE(tarn_string("Abc") != tarn_string("abc"));
    EXPECT_FALSE(tarn_string("ab") == tarn_string("abc"));
    EXPECT_TRUE(tarn_string("abc") == "abc");
    EXPECT_FALSE(tarn_string("ABC") == "abc");
    EXPECT_TRUE(tarn_string() == static_cast<const char*>(nullptr));

    const struct {
        const char* text;
        int value;
        bool equal;
    } numbers[] = {
        {"1", 1, true}, {"01", 1, false}, {" 1", 1, false}, {"-1", -1, true},
        {"", 0, false}, {"0", 0, true},   {"1x", 1, false}, {"-2147483648", INT_MIN, true},
    };
    for (const auto& c : numbers) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tarn_string(c.text) == c.value, c.equal);
    }
}

TEST(TarnString, CopiesAndSelfUseOfShortAndLongTexts) {
    for (const std::string& original : {std::string("short"), std::string(40, 'x') + "end"}) {
        SCOPED_TRACE(original);
        tarn_string s(original.c_str());
        tarn_string copy(s);
        copy += tarn_string("!");
        EXPECT_EQ(text(s), original);
        EXPECT_EQ(text(copy), original + "!");

        const tarn_string& same = s;
        s = same;
        EXPECT_EQ(text(s), original);
        s = static_cast<const char*>(s);
        EXPECT_EQ(text(s), original);
        s += s;
        EXPECT_EQ(text(s), original + original);
        s = "";
        EXPECT_EQ(text(s), "");
        EXPECT_STREQ(static_cast<const char*>(s), "");
    }
}

TEST(TarnString, ConcatenationAndGrowth) {
    const tarn_string left("0123456789"), right("abcdefghij");
    EXPECT_EQ(text(left + right), "0123456789abcdefghij");
    EXPECT_EQ(text(left + "xyz"), "0123456789xyz");
    EXPECT_EQ(text("xyz" + right), "xyzabcdefghij");
    EXPECT_EQ(text(left + static_cast<const char*>(nullptr)), "0123456789");
    EXPECT_EQ(text(tarn_string(static_cast<const char*>(nullptr))), "");

    tarn_string grown;
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        const tarn_string piece(i, 0, 0, 10);
        grown += piece;
        expected += std::to_string(i);
    }
    EXPECT_EQ(text(grown), expected);
    EXPECT_EQ(grown.length(), expected.size());
}

} // namespace
