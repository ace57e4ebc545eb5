// NullHost: the fake panel host of the benchmarks. It does nothing with a command
// but answer it from a short table of canned replies (pointers to constant texts,
// so giving one back costs nothing), and it can record the commands it receives
// so that a baseline can replay exactly the same traffic.
#pragma once

#include "ClientHost.h"

#include <string>
#include <vector>

class NullHost : public ClientHost {
public:
    struct Step {
        std::string command;
        char* reply; // the canned reply, or null
    };

    void TARN_THISCALL reserved() override {}
    char* TARN_THISCALL send(const char* text, int mode) override;

    // Records every mode-0 command until stopRecording(), which returns them.
    void startRecording();
    std::vector<Step> stopRecording();

    // The canned reply to a command text, or null.
    static char* replyTo(const char* text);

private:
    bool m_recording = false;
    std::vector<Step> m_steps;
};
