// TestComponent: a minimal component over the frame for the frame's own tests. It
// records which handler ran with what, answers parent commands with a reply the
// test sets, and can turn on the alarm mode.
#pragma once

#include "tarn_script_helper.h"

#include <string>
#include <vector>

class TestComponent : public tarn_script_helper {
public:
    TestComponent(ClientHost* clientHost, const char* uiPath)
        : tarn_script_helper(clientHost, uiPath) {}

    void onButton(ButtonNotify* event) override {
        calls.push_back("button " + std::string(event->panel()) + " " +
                        std::string(event->control()) + " " + std::string(event->eventKey()) + "=" +
                        std::string(event->eventValue()));
    }
    int onRevertive(RevertiveNotify* event) override {
        calls.push_back("revertive");
        lastData = event->record();
        return 17;
    }
    tarn_string onParentCommand(ParentCommandNotify* command) override {
        calls.push_back("parent " + std::string(command->key()) + "=" +
                        std::string(command->value()));
        return tarn_string(reply.c_str());
    }
    void onAuxEvent(AuxNotify* event) override {
        calls.push_back("aux");
        lastData = event->data();
    }
    void onTimer(int id) override { calls.push_back("timer " + std::to_string(id)); }
    void onDatabaseChange(DatabaseNotify* event) override {
        calls.push_back("database " + std::to_string(event->device()) + " " +
                        std::to_string(event->database()) + " " + std::to_string(event->index()) +
                        " " + std::string(event->name()));
    }

    void setAlarmMode(bool on) { alarmMode = on; }
    bool alarmModeIsOn() const { return alarmMode; }
    const char* uiPath() const { return path; }
    ClientHost* clientHost() const { return host; }

    std::vector<std::string> calls;
    std::string reply;
    void* lastData = nullptr;
};
