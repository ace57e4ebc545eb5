// PausingHost: the fake host of the allocation tests. It hands every text to a
// RecordingHost (so a test sets replies and reads the traffic as elsewhere) with
// counting paused, so only the allocations of the code under test are counted.
#pragma once

#include "RecordingHost.h"
#include "counting_allocator.h"

class PausingHost : public ClientHost {
public:
    void TARN_THISCALL reserved() override {}
    char* TARN_THISCALL send(const char* text, int mode) override {
        const CountingPause pause;
        return recorder.send(text, mode);
    }

    RecordingHost recorder;
};
