#include "tarn_stringlist.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> entries(const tarn_stringlist& list) {
    std::vector<std::string> result;
    for (const tarn_string& entry : list) {
        result.emplace_back(static_cast<const char*>(entry));
    }
    return result;
}

TEST(TarnStringList, SplitsKeepingEmptyPiecesAndJoinsBack) {
    using Entries = std::vector<std::string>;
    const struct {
        const char* text;
        Entries expected;
    } cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"abc", {"abc"}},
        {"", {}},
        {"a piece longer than fifteen,b", {"a piece longer than fifteen", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const tarn_stringlist list(tarn_string(c.text), ',');
        EXPECT_EQ(list.count(), static_cast<int>(c.expected.size()));
        EXPECT_EQ(entries(list), c.expected);
        EXPECT_STREQ(list.toString(','), c.text);
    }
    EXPECT_STREQ(tarn_stringlist(tarn_string("a b c"), ' ').toString('+'), "a+b+c");
}

TEST(TarnStringList, OutsideIndexGivesFreshEmptyText) {
    tarn_stringlist list(tarn_string("a,b"), ',');
    for (const int position : {-1, 2, 100, -2147483647 - 1}) {
        SCOPED_TRACE(position);
        list[position] = "scribbled on";
        EXPECT_STREQ(list[position], "");
        list[position] += tarn_string("again");
        EXPECT_STREQ(list[position], "");
    }
    EXPECT_EQ(list.count(), 2);
    list[1] = "changed";
    EXPECT_EQ(entries(list), (std::vector<std::string>{"a", "changed"}));

    tarn_stringlist empty;
    EXPECT_STREQ(empty[0], "");
    EXPECT_FALSE(empty.begin() != empty.end());
}

TEST(TarnStringList, AppendsGrowAndKeepEntries) {
    tarn_stringlist list;
    std::vector<std::string> expected;
    for (int i = 0; i < 100; ++i) {
        const std::string entry = std::to_string(i) + std::string(static_cast<size_t>(i % 20), 'x');
        list << tarn_string(entry.c_str());
        expected.push_back(entry);
    }
    EXPECT_EQ(entries(list), expected);

    // Appending the list's own entries, also while the storage grows.
    tarn_stringlist own(tarn_string("first entry over fifteen chars"), ',');
    for (int i = 0; i < 10; ++i) {
        own << own[0];
    }
    EXPECT_EQ(own.count(), 11);
    for (const tarn_string& entry : own) {
        EXPECT_STREQ(entry, "first entry over fifteen chars");
    }
}

TEST(TarnStringList, CopiesAreIndependent) {
    tarn_stringlist original(tarn_string("a,b,c"), ',');
    tarn_stringlist copy(original);
    copy[0] = "changed";
    copy << tarn_string("d");
    EXPECT_EQ(entries(original), (std::vector<std::string>{"a", "b", "c"}));

    const tarn_stringlist copyOfCopy(copy);
    copy[1] = "again";
    EXPECT_EQ(entries(copyOfCopy), (std::vector<std::string>{"changed", "b", "c", "d"}));
    EXPECT_STREQ(copyOfCopy.toString(';'), "changed;b;c;d");
    EXPECT_STREQ(tarn_stringlist().toString(';'), "");
}

} // namespace
