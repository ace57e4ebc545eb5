#include "ConfigFolder.h"
#include "Environment.h"
#include "tarn_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using Children = std::vector<std::pair<std::string, std::string>>;

Children children(const char* path) {
    Children result;
    tarn_config config{tarn_string(path)};
    for (; config.isChildValid(); config.nextChild()) {
        result.emplace_back(static_cast<const char*>(config.childAttr(tarn_string("id"))),
                            static_cast<const char*>(config.childAttr(tarn_string("value"))));
    }
    return result;
}

TEST(TarnConfig, CollectsTheSectionsChildrenInFileOrder) {
    ConfigFolder folder;
    folder.write("object_settings.ini", "top = outside any section\n"
                                        "[pkg]\r\n"
                                        "package_levels = 1,2,3\r\n"
                                        "\r\n"
                                        "; a comment = not a child\n"
                                        "   # another = not a child\n"
                                        "no equals sign here\n"
                                        "\tdriver_ids\t=\t 7 , 8 \t\r\n"
                                        "key = a=b=c\n"
                                        "empty =\n"
                                        "= no id\n"
                                        "[other]\n"
                                        "package_levels = wrong section\n"
                                        "  [pkg]  \n"
                                        "package_levels = duplicate, later\n"
                                        "last=no final newline");
    const Children expected = {
        {"package_levels", "1,2,3"},
        {"driver_ids", "7 , 8"},
        {"key", "a=b=c"},
        {"empty", ""},
        {"", "no id"},
        {"package_levels", "duplicate, later"},
        {"last", "no final newline"},
    };
    EXPECT_EQ(children("object_settings.pkg"), expected);
    EXPECT_EQ(children("object_settings.other"), (Children{{"package_levels", "wrong section"}}));
}

TEST(TarnConfig, SectionNamesMatchExactly) {
    ConfigFolder folder;
    folder.write("f.ini", "[ s ]\na=1\n[S]\nb=2\n[s.t]\nc=3\n[s\nd=4\n[]\ne=5\n");
    EXPECT_EQ(children("f. s "), (Children{{"a", "1"}}));
    EXPECT_EQ(children("f.S"), (Children{{"b", "2"}}));
    EXPECT_EQ(children("f.s.t"), (Children{{"c", "3"}}));
    EXPECT_EQ(children("f."), (Children{{"e", "5"}}));
    EXPECT_EQ(children("f.s"), Children{});
}

TEST(TarnConfig, NothingToReadGivesNoChildren) {
    ConfigFolder folder;
    folder.write("f.ini", "[s]\na=1\n");
    for (const char* path : {"f", "", "missing.s", "f.absent", ".s"}) {
        SCOPED_TRACE(path);
        tarn_config config{tarn_string(path)};
        EXPECT_FALSE(config.isChildValid());
        EXPECT_FALSE(config.nextChild());
        EXPECT_STREQ(config.childAttr(tarn_string("id")), "");
    }
    setEnvironmentVariable("TARN_CONFIG_DIR", (folder.root() + "/no such folder").c_str());
    EXPECT_EQ(children("f.s"), Children{});
}

TEST(TarnConfig, StepsThroughChildrenAndReadsOnlyIdAndValue) {
    ConfigFolder folder;
    folder.write("f.ini", "[s]\na=1\nb=2\n");
    tarn_config config{tarn_string("f.s")};
    EXPECT_TRUE(config.isChildValid());
    EXPECT_STREQ(config.childAttr(tarn_string("ID")), "");
    EXPECT_STREQ(config.childAttr(tarn_string("other")), "");
    EXPECT_TRUE(config.nextChild());
    EXPECT_STREQ(config.childAttr(tarn_string("value")), "2");
    EXPECT_FALSE(config.nextChild());
    EXPECT_FALSE(config.isChildValid());
    EXPECT_FALSE(config.nextChild());
    EXPECT_STREQ(config.childAttr(tarn_string("value")), "");
}

TEST(TarnConfig, ReadsLongLinesAndLargeFilesAfreshEachTime) {
    ConfigFolder folder;
    const std::string longValue(20000, 'v');
    std::string contents = "[s]\nlong = " + longValue + "\n";
    Children expected = {{"long", longValue}};
    for (int i = 0; i < 2000; ++i) {
        contents += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
        expected.emplace_back("k" + std::to_string(i), std::to_string(i));
    }
    folder.write("f.ini", contents);
    EXPECT_EQ(children("f.s"), expected);

    folder.write("f.ini", "[s]\nfresh=yes\n");
    EXPECT_EQ(children("f.s"), (Children{{"fresh", "yes"}}));
}

TEST(TarnConfig, DefaultRootIsConfigInTheWorkingFolder) {
    ConfigFolder folder;
    std::filesystem::create_directories(std::filesystem::path(folder.root()) / "config");
    folder.write("config/f.ini", "\xEF\xBB\xBF[s]\nwhere=default root\n");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.root());
    setEnvironmentVariable("TARN_CONFIG_DIR", nullptr);
    const Children found = children("f.s");
    std::filesystem::current_path(previous);
    EXPECT_EQ(found, (Children{{"where", "default root"}}));
}

} // namespace
