#include "RecordingHost.h"
#include "TestComponent.h"
#include "host_event_types.h"
#include "host_records.h"

#include <new>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

void* asData(const char* text) {
    return const_cast<char*>(text);
}

TEST(Dispatch, EachEventTypeReachesItsHandler) {
    TestComponent component(nullptr, "");
    int revertive = 0;
    int aux = 0;
    CommandText event("press=1");
    const ButtonEventRecord button = {0, 0, "1", "myDest", &event};
    std::vector<std::int32_t> storage(DatabaseChangeRecord::wordsFor(8));
    DatabaseChangeRecord* change = placeDatabaseChangeRecord(storage.data(), 7, 2, 12, "Studio 4");

    EXPECT_EQ(component.handleHostEvent(&revertive, HostEventRevertive), nullptr);
    EXPECT_EQ(component.lastData, &revertive);
    EXPECT_EQ(component.handleHostEvent(const_cast<ButtonEventRecord*>(&button), HostEventButton),
              nullptr);
    EXPECT_EQ(component.handleHostEvent(asData("selected=4"), HostEventParentCommand), nullptr);
    EXPECT_EQ(
        component.handleHostEvent(reinterpret_cast<void*>(std::intptr_t{-42}), HostEventTimer),
        nullptr);
    EXPECT_EQ(component.handleHostEvent(change, HostEventDatabaseChange), nullptr);
    EXPECT_EQ(component.handleHostEvent(&aux, HostEventAux), nullptr);
    EXPECT_EQ(component.lastData, &aux);

    EXPECT_EQ(component.calls, (Calls{"revertive", "button 1 myDest press=1", "parent selected=4",
                                      "timer -42", "database 7 2 12 Studio 4", "aux"}));
}

TEST(Dispatch, UnknownTypesCallNothing) {
    TestComponent component(nullptr, "");
    int data = 0;
    for (int type : {0, 8, -1, 1000}) {
        EXPECT_EQ(component.handleHostEvent(&data, type), nullptr);
    }
    EXPECT_TRUE(component.calls.empty());
}

TEST(Dispatch, NullButtonAndDatabaseRecordsAreDropped) {
    TestComponent component(nullptr, "");
    EXPECT_EQ(component.handleHostEvent(nullptr, HostEventButton), nullptr);
    EXPECT_EQ(component.handleHostEvent(nullptr, HostEventDatabaseChange), nullptr);
    EXPECT_TRUE(component.calls.empty());
    // Revertive and auxiliary data are not read, so null passes through to them.
    component.handleHostEvent(nullptr, HostEventRevertive);
    component.handleHostEvent(nullptr, HostEventAux);
    EXPECT_EQ(component.calls, (Calls{"revertive", "aux"}));
}

TEST(Dispatch, ButtonRecordWithNullTextsReadsAsEmpty) {
    TestComponent component(nullptr, "");
    ButtonEventRecord button = {0, 0, nullptr, nullptr, nullptr};
    component.handleHostEvent(&button, HostEventButton);
    EXPECT_EQ(component.calls, (Calls{"button   ="}));
}

TEST(Dispatch, NullOrEmptyParentCommandStillReachesTheHandler) {
    TestComponent component(nullptr, "");
    component.handleHostEvent(nullptr, HostEventParentCommand);
    component.handleHostEvent(asData(""), HostEventParentCommand);
    EXPECT_EQ(component.calls, (Calls{"parent =", "parent ="}));
}

TEST(Dispatch, EmptyReplyIsNoAnswer) {
    TestComponent component(nullptr, "");
    component.reply = "";
    EXPECT_EQ(component.handleHostEvent(asData("return=all"), HostEventParentCommand), nullptr);
}

TEST(Dispatch, ReplyIsALibraryArrayTheHostGivesBack) {
    for (const std::string& reply :
         {std::string("x"), std::string("matrixobject=pkg\nuselevels=1,2"),
          std::string(300, 'r')}) {
        SCOPED_TRACE(reply.substr(0, 20));
        TestComponent component(nullptr, "");
        component.reply = reply;
        char* answer = component.handleHostEvent(asData("return=all"), HostEventParentCommand);
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(std::string(answer), component.reply);
        EXPECT_EQ(std::strlen(answer), component.reply.size()) << "n characters and one NUL";
        // Given back once; the library releases it (sanitizers and memcheck see a
        // leak or a bad free otherwise).
        EXPECT_EQ(component.handleHostEvent(answer, HostEventReplyGivenBack), nullptr);
        EXPECT_EQ(component.handleHostEvent(nullptr, HostEventReplyGivenBack), nullptr);
        EXPECT_EQ(component.calls, (Calls{"parent return=all"}));
    }
}

TEST(Dispatch, ConstructionKeepsHostAndPathAndSendsNothing) {
    RecordingHost host;
    {
        TestComponent component(&host, "C:/panels/ui");
        EXPECT_EQ(component.clientHost(), &host);
        EXPECT_STREQ(component.uiPath(), "C:/panels/ui");
        EXPECT_FALSE(component.alarmModeIsOn());
        EXPECT_TRUE(host.traffic().empty());
        TestComponent nullPath(nullptr, nullptr);
        EXPECT_STREQ(nullPath.uiPath(), "");
        host.clear();
    }
    EXPECT_EQ(host.traffic(), (Calls{"AS"}));
}

TEST(Dispatch, ShutdownNoticeIsTheLastTextAndNeedsAHost) {
    RecordingHost host;
    tarn_client_callback* component = new TestComponent(&host, "");
    static_cast<TestComponent*>(component)->stopTimer(3);
    tarn_destroy_component(component);
    EXPECT_EQ(host.traffic(), (Calls{"ET 3", "AS"}));

    // Without a host the destructor has nobody to tell.
    tarn_destroy_component(new TestComponent(nullptr, ""));
}

#if TARN_MICROSOFT_TABLE_BY_HAND
TEST(Dispatch, DeletingDestructorFreesOnlyWhenAsked) {
    // Flags 0 destroys in place: the object lives in storage the library did not
    // allocate, so freeing it would corrupt the heap.
    RecordingHost host;
    alignas(TestComponent) unsigned char storage[sizeof(TestComponent)];
    tarn_client_callback* component = new (storage) TestComponent(&host, "");
    EXPECT_EQ(component->scalarDeletingDestructor(0), static_cast<void*>(storage));
    EXPECT_EQ(host.traffic(), (Calls{"AS"}));
}
#endif

TEST(Dispatch, PointerServesTheHostAsItsCallbackWithoutAdjustment) {
    TestComponent component(nullptr, "");
    tarn_script_helper* helper = &component;
    tarn_client_callback* callback = helper;
    EXPECT_EQ(static_cast<void*>(callback), static_cast<void*>(helper));
}

} // namespace
