#include "QuillonFixture.h"

namespace {

using Lifecycle = QuillonFixture;

TEST(QuillonCreation, LoadsItsLayoutIntoPanelOneAndNothingElse) {
    struct Case {
        const char* path;
        const char* command;
    };
    const Case cases[] = {
        {"C:/panels", "PS '1' 'C:/panels/quillon.tarn_ui'"},
        {"", "PS '1' 'quillon.tarn_ui'"},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        tarn_client_callback* component = load_tarn_client_script(&host, c.path);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(host.traffic(), Traffic{c.command});
        tarn_destroy_component(component);
        EXPECT_EQ(host.traffic(), (Traffic{c.command, "AS"}));
    }
}

TEST(QuillonCreation, WorksWithoutAHost) {
    tarn_client_callback* component = load_tarn_client_script(nullptr, nullptr);
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(host_events::parentCommand(*component, "instance=cam1"), nullptr);
    tarn_destroy_component(component);
}

TEST(QuillonCreation, EachCallMakesItsOwnComponent) {
    RecordingHost host;
    tarn_client_callback* first = load_tarn_client_script(&host, "");
    tarn_client_callback* second = load_tarn_client_script(&host, "");
    EXPECT_NE(first, second);
    tarn_destroy_component(first);
    tarn_destroy_component(second);
}

TEST_F(Lifecycle, FreshSettingsList) {
    EXPECT_EQ(command("return=all"), "matrixobject=\n"
                                     "uselevels=\n"
                                     "namesDatabase=1\n"
                                     "buttonlow=\n"
                                     "buttonhigh=\n"
                                     "tallystate_L1=\n"
                                     "tallystate_L2=\n"
                                     "unusedleveltext=Unused Level");
}

TEST_F(Lifecycle, UnresolvedComponentSendsOnlyTheShutdownNotice) {
    destroy();
    EXPECT_EQ(host.traffic(), Traffic{"AS"});
}

TEST_F(Lifecycle, ResolvedComponentUnregistersBeforeTheShutdownNotice) {
    resolve("cam7", "7 3", "Cam 7");
    destroy();
    EXPECT_EQ(host.traffic(), (Traffic{"RU 7", "AS"}));
}

TEST_F(Lifecycle, FailedInstanceAfterAResolvedOneLeavesNothingToUnregister) {
    resolve("cam7", "7 3", "Cam 7");
    host.reply("SD 'gone'", "0 0");
    command("instance=gone");
    host.clear();
    destroy();
    EXPECT_EQ(host.traffic(), Traffic{"AS"});
}

} // namespace
