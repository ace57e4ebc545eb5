#include "tarn_script_helper.h"

#include "CommandText.h"
#include "host_event_types.h"

#include <cstdint>
#include <cstring>
#include <new>

// The frame's signature record: a constant text in the library's data that
// identifies the frame to tools inspecting the binary. Nothing reads it at run
// time, so each linker is told to keep it (TARN_KEEP; Microsoft's linker through
// the frame's link options).
extern "C" {
extern const char tarn_script_helper_signature[];
TARN_KEEP const char tarn_script_helper_signature[] =
    "TARN_SIG,name=tarn_script_helper,type=LIB,version=4.8.6.0,date=16/06/2017,"
    "author=Quillon developers";
}

tarn_script_helper::tarn_script_helper(ClientHost* clientHost, const char* uiPath)
    : host(clientHost), path(uiPath != nullptr ? uiPath : ""), alarmMode(false) {}

tarn_script_helper::~tarn_script_helper() {
    if (host != nullptr) {
        host->send("AS", ClientHost::Command);
    }
}

#if TARN_MICROSOFT_TABLE_BY_HAND
void* TARN_THISCALL tarn_script_helper::scalarDeletingDestructor(unsigned flags) {
    // Bit 0 asks for the memory too; the array bit never applies, since hosts
    // hold one component per factory call.
    if ((flags & 1u) != 0) {
        delete this;
    } else {
        this->~tarn_script_helper();
    }
    return this;
}
#endif

void tarn_script_helper::onAuxEvent(AuxNotify*) {}

void tarn_script_helper::onDatabaseChange(DatabaseNotify*) {}

char* TARN_THISCALL tarn_script_helper::handleHostEvent(void* data, int type) {
    switch (type) {
    case HostEventRevertive: {
        RevertiveNotify view(data);
        onRevertive(&view);
        return nullptr;
    }
    case HostEventButton: {
        // The handlers read the record unchecked; a host that sends none has
        // nothing to report.
        if (data == nullptr) {
            return nullptr;
        }
        ButtonNotify view(data);
        if (alarmMode && routeAlarmButton(view)) {
            return nullptr;
        }
        onButton(&view);
        return nullptr;
    }
    case HostEventParentCommand:
        return answerParentCommand(static_cast<const char*>(data));
    case HostEventTimer:
        onTimer(static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
        return nullptr;
    case HostEventReplyGivenBack:
        delete[] static_cast<char*>(data);
        return nullptr;
    case HostEventDatabaseChange: {
        if (data == nullptr) {
            return nullptr;
        }
        DatabaseNotify view(data);
        onDatabaseChange(&view);
        return nullptr;
    }
    case HostEventAux: {
        AuxNotify view(data);
        onAuxEvent(&view);
        return nullptr;
    }
    default:
        return nullptr;
    }
}

char* tarn_script_helper::answerParentCommand(const char* text) {
    CommandText command(text);
    ParentCommandNotify view(&command);
    const tarn_string reply = onParentCommand(&view);
    const unsigned int length = reply.length();
    if (length == 0) {
        return nullptr;
    }
    // Allocated here and released here when the host gives it back (type 5).
    char* answer = new (std::nothrow) char[length + 1];
    if (answer != nullptr) {
        std::memcpy(answer, static_cast<const char*>(reply), length + 1);
    }
    return answer;
}
