// Allocation budget of the texts: tarn_string keeps short texts in the object, and
// a command text built from pieces costs at most one allocation, however long the
// pieces are.
#include "PausingHost.h"
#include "counting_allocator.h"
#include "tarn_script_helper.h"
#include "tarn_string.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

// A component with nothing of its own, to call the host operations directly.
class BareComponent : public tarn_script_helper {
public:
    BareComponent(ClientHost* clientHost, const char* uiPath)
        : tarn_script_helper(clientHost, uiPath) {}
    void onButton(ButtonNotify*) override {}
    int onRevertive(RevertiveNotify*) override { return 0; }
    tarn_string onParentCommand(ParentCommandNotify*) override { return tarn_string(); }
    void onTimer(int) override {}
};

long allocationsOf(const std::function<void()>& operation) {
    return countAllocations(operation).allocations;
}

} // namespace

TEST(StringAllocations, TextsOfUpTo15CharactersStayInTheObject) {
    for (unsigned int length = 0; length <= 16; ++length) {
        const std::string text(length, 'a');
        const tarn_string source(text.c_str());
        const long expected = length <= 15 ? 0 : 1;
        EXPECT_EQ(allocationsOf([&] { const tarn_string made(text.c_str()); }), expected)
            << "construct " << length;
        EXPECT_EQ(allocationsOf([&] { const tarn_string copy(source); }), expected)
            << "copy " << length;
        EXPECT_EQ(allocationsOf([&] {
                      tarn_string target;
                      target = source;
                  }),
                  expected)
            << "assign " << length;
    }
    EXPECT_EQ(allocationsOf([] { const tarn_string number(-2147483647 - 1, 0, 0, 10); }), 0);
    const tarn_string reply("text=Camera 3");
    EXPECT_EQ(allocationsOf([&] {
                  tarn_string key;
                  tarn_string value;
                  reply.split('=', key, value);
              }),
              0);
}

TEST(StringAllocations, JoiningAndFillingAllocateAtMostOnce) {
    const tarn_string shortText("abc");
    const tarn_string longText(std::string(300, 'x').c_str());
    const tarn_string format("SD '%1'");
    // Each result is sized once, before anything is copied into it.
    const struct {
        const char* name;
        std::function<tarn_string()> build;
        long allocations;
    } cases[] = {
        {"short + short", [&] { return shortText + shortText; }, 0},
        {"long + long", [&] { return longText + longText; }, 1},
        {"long + text", [&] { return longText + "' '1' 'myDest'"; }, 1},
        {"text + long", [&] { return "TP 'text=" + longText; }, 1},
        {"arg short", [&] { return format.arg(shortText); }, 0},
        {"arg long", [&] { return format.arg(longText); }, 1},
        {"arg number", [&] { return tarn_string("RN %1 1 7").arg(999, 0, 0, 10); }, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(allocationsOf([&] { c.build(); }), c.allocations) << c.name;
    }
    // A text full at each append grows by half again: a thousand one-character
    // appends cost about a dozen allocations, not one each.
    const tarn_string one("x");
    EXPECT_LE(allocationsOf([&] {
                  tarn_string grown;
                  for (int i = 0; i < 1000; ++i) {
                      grown += one;
                  }
              }),
              16);
}

TEST(StringAllocations, HostCommandsCostAtMostOneAllocationPerStep) {
    PausingHost host;
    BareComponent component(&host, "C:/ui");
    const tarn_string shortText("1");
    const tarn_string longText(std::string(300, 'p').c_str());
    // PS, TP, TG, HN, SD and XI are joined on the stack: only a command longer
    // than the stack buffer costs its one allocation. RN's numbers and RR always
    // fit. Nothing is replied, so what is counted is the building of the command
    // alone.
    for (const bool longPieces : {false, true}) {
        const tarn_string& piece = longPieces ? longText : shortText;
        tarn_string out;
        tarn_string instance;
        const struct {
            const char* name;
            std::function<void()> send;
            long longAllocations;
        } commands[] = {
            {"PS", [&] { component.openPanel(piece, piece, piece); }, 1},
            {"TP property", [&] { component.setProperty(piece, piece, piece, piece); }, 1},
            {"TP assignments", [&] { component.setProperties(piece, piece, piece); }, 1},
            {"TG", [&] { component.textGet(piece, piece, piece, out); }, 1},
            {"HN", [&] { component.raiseEvent(piece); }, 1},
            // SD takes its instance by value: a long one is copied into the
            // argument (the string classes move nothing), then the text is built.
            {"SD", [&] { component.resolveInstance(instance, nullptr, nullptr); }, 2},
            {"XI", [&] { component.listControls(piece, piece); }, 1},
            {"RN", [&] { component.lookupName(-999, 1, 999, out); }, 0},
            {"RR", [&] { component.registerRouter(999, 1, 1, true); }, 0},
        };
        for (const auto& command : commands) {
            host.recorder.clear();
            instance = piece;
            EXPECT_EQ(allocationsOf(command.send), longPieces ? command.longAllocations : 0)
                << command.name << (longPieces ? " long" : " short");
            EXPECT_EQ(host.recorder.commands().size(), 1u) << command.name;
        }
    }
}
