#include "NullHost.h"

#include <cstring>
#include <utility>

namespace {
struct Canned {
    const char* command;
    const char* reply;
};

// What the benchmark components ask for: their destinations cam7 and cam9 of
// device 5, named in database 1, and their level destination lists in database 1
// of the level-map driver 20. Loading a panel gets any reply.
const Canned canned[] = {
    {"SD 'cam7'", "5 7"},
    {"SD 'cam9'", "5 9"},
    {"RN 5 1 7", "Camera 7"},
    {"RN 5 1 9", "Camera 9"},
    {"RN 20 1 7", "12,14"},
    {"RN 20 1 9", "13,15"},
    {"SD 'studio_a_camera_07_backup_feed'", "5 7"},
};
} // namespace

char* NullHost::replyTo(const char* text) {
    if (text[0] == 'P' && text[1] == 'S') {
        return const_cast<char*>("1");
    }
    if (!(text[0] == 'S' || text[0] == 'R')) {
        return nullptr;
    }
    for (const Canned& entry : canned) {
        if (std::strcmp(entry.command, text) == 0) {
            return const_cast<char*>(entry.reply);
        }
    }
    return nullptr;
}

char* TARN_THISCALL NullHost::send(const char* text, int mode) {
    if (mode != ClientHost::Command || text == nullptr) {
        return nullptr;
    }
    char* reply = replyTo(text);
    if (m_recording) {
        m_steps.push_back({text, reply});
    }
    return reply;
}

void NullHost::startRecording() {
    m_steps.clear();
    m_recording = true;
}

std::vector<NullHost::Step> NullHost::stopRecording() {
    m_recording = false;
    return std::move(m_steps);
}
