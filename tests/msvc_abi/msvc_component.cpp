// A script component as its users build it: Microsoft's C++ ABI (clang in
// Microsoft mode), no C runtime, kernel32 only. It derives from the callback
// interface with a virtual destructor and handleHostEvent, and sends a few
// commands through ClientHost::send, so that panelhost.exe is seen driving a
// Microsoft-built component through the same table: events through slot 1,
// destruction through slot 0. Test use only.
#include "freestanding.h"
#include "host_event_types.h"
#include "load_tarn_client_script.h"

namespace {

class MicrosoftComponent : public tarn_client_callback {
public:
    MicrosoftComponent(ClientHost* host, const char* path) : m_host(host) {
        char command[256];
        fs::copy(command, sizeof command, "PS '1' '");
        fs::append(command, sizeof command, path);
        fs::append(command, sizeof command, "/quillon.tarn_ui'");
        m_host->send(command, ClientHost::Command);
    }

    // The host destroys it through slot 0; the last text it sends is AS.
    ~MicrosoftComponent() override {
        delete[] m_reply;
        m_host->send("AS", ClientHost::Command);
    }

    char* TARN_THISCALL handleHostEvent(void* data, int type) override {
        switch (type) {
        case HostEventButton:
            m_host->send("HN 'pressed'", ClientHost::Command);
            return nullptr;
        case HostEventParentCommand:
            return nameButton();
        case HostEventTimer: {
            char command[32];
            fs::copy(command, sizeof command, "ET ");
            fs::appendNumber(command, sizeof command,
                             static_cast<int>(reinterpret_cast<intptr_t>(data)));
            m_host->send(command, ClientHost::Command);
            return nullptr;
        }
        case HostEventReplyGivenBack:
            // Only the reply this component handed out may come back.
            if (data != nullptr && data == m_reply) {
                delete[] m_reply;
                m_reply = nullptr;
            } else if (data != nullptr) {
                m_host->send("HN 'a foreign reply came back'", ClientHost::Command);
            }
            return nullptr;
        default:
            return nullptr;
        }
    }

private:
    // Looks up entry 3 of database 1 of device 7, shows it on the button, and
    // answers "done".
    char* nameButton() {
        char* name = m_host->send("RN 7 1 3", ClientHost::Command);
        char command[256];
        fs::copy(command, sizeof command, "TP 'text=");
        fs::append(command, sizeof command, name != nullptr ? name : "");
        fs::append(command, sizeof command, "' '1' 'myDest'");
        m_host->send(name, ClientHost::GiveBack);
        m_host->send(command, ClientHost::Command);
        delete[] m_reply;
        m_reply = fs::duplicate("done");
        return m_reply;
    }

    ClientHost* m_host;
    char* m_reply = nullptr;
};

} // namespace

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path) {
    if (host == nullptr || path == nullptr) {
        return nullptr;
    }
    return new MicrosoftComponent(host, path);
}

extern "C" int FS_WINAPI _DllMainCRTStartup(void*, unsigned long, void*) {
    return 1;
}
