// Allocation budget of the two parsers: one copy of the text per parse, and no
// allocation at all for a null or empty text. Each parse releases what it took.
#include "CommandText.h"
#include "counting_allocator.h"
#include "decodeTARNString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextCase {
    const char* name;
    std::string text;
    bool null;
    long allocations;
};

std::string dots(int count) {
    std::string text = "key";
    for (int i = 0; i < count; ++i) {
        text += ".s" + std::to_string(i);
    }
    return text + "=value";
}

std::string words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i == 0 ? "" : " ") + std::to_string(i);
    }
    return text;
}

} // namespace

TEST(ParserAllocations, CommandTextCopiesTheTextOnce) {
    const TextCase cases[] = {
        {"null", "", true, 0},
        {"empty", "", false, 0},
        {"short", "selected=7", false, 1},
        {"subparts", "a.b.c=d.e", false, 1},
        {"long", "unusedleveltext=" + std::string(400, 'x'), false, 1},
        {"33 dots", dots(33), false, 1},
    };
    for (const TextCase& c : cases) {
        const char* text = c.null ? nullptr : c.text.c_str();
        const AllocationCounts counts = countAllocations([&] {
            const CommandText command(text);
            EXPECT_EQ(command.buffer == nullptr, c.allocations == 0) << c.name;
        });
        EXPECT_EQ(counts.allocations, c.allocations) << c.name;
        EXPECT_EQ(counts.frees, counts.allocations) << c.name;
    }
}

TEST(ParserAllocations, DecodingAReplyCopiesItOnce) {
    const TextCase cases[] = {
        {"null", "", true, 0},
        {"empty", "", false, 0},
        {"device and offset", "12 34", false, 1},
        {"quoted", "'Studio A' 'Camera 3' 17", false, 1},
        {"three spaces", "   ", false, 1},
        {"40 words", words(40), false, 1},
    };
    for (const TextCase& c : cases) {
        const char* text = c.null ? nullptr : c.text.c_str();
        const AllocationCounts counts = countAllocations([&] {
            const decodeTARNString reply(text, '\'');
            EXPECT_EQ(reply.buffer == nullptr, c.allocations == 0) << c.name;
        });
        EXPECT_EQ(counts.allocations, c.allocations) << c.name;
        EXPECT_EQ(counts.frees, counts.allocations) << c.name;
    }
}
