// A script component as its users build it: Microsoft's C++ ABI (clang in
// Microsoft mode), no C runtime, kernel32 only. It derives from the callback
// interface with a virtual destructor and handleHostEvent, and sends a few
// commands through ClientHost::send, so that panelhost.exe is seen driving a
// Microsoft-built component through the same table: events through slot 1,
// destruction through slot 0. The parent command "throw" throws as Microsoft's
// runtime does, uncaught. Test use only.
#include "freestanding.h"
#include "host_event_types.h"
#include "load_tarn_client_script.h"

extern "C" char __ImageBase; // the start of this DLL's image, which the linker names

namespace {

// What Microsoft's compiler makes of `throw std::runtime_error(text)`, spelled out
// by hand (the component is built without exceptions): the thrown object laid out
// as Microsoft's std::exception is (its table, then its message), and the throw
// information that its runtime hands to RaiseException, which names the types a
// handler may catch it as. On x86-64 the information holds offsets from the image.
struct TypeDescriptor {
    const void* table;
    void* spare;
    char name[24];
};
struct CatchableType {
    unsigned properties;
    int type;
    int displacement[3];
    int size;
    int copy;
};
struct CatchableTypes {
    int count;
    int types[2];
};
struct ThrowInfo {
    unsigned attributes;
    int unwind;
    int forward;
    int types;
};

int reference(const void* item) {
    if (sizeof(void*) == 8) {
        return static_cast<int>(static_cast<const char*>(item) - &__ImageBase);
    }
    return static_cast<int>(reinterpret_cast<intptr_t>(item));
}

void throwAsMicrosoftDoes(const char* message) {
    static TypeDescriptor runtimeError = {nullptr, nullptr, ".?AVruntime_error@std@@"};
    static TypeDescriptor exception = {nullptr, nullptr, ".?AVexception@std@@"};
    static CatchableType catchable[2];
    static CatchableTypes types;
    static ThrowInfo info;
    static struct {
        const void* table;
        const char* what;
        bool release;
    } thrown;
    catchable[0] = {0, reference(&runtimeError), {0, -1, 0}, sizeof thrown, 0};
    catchable[1] = {0, reference(&exception), {0, -1, 0}, sizeof thrown, 0};
    types = {2, {reference(&catchable[0]), reference(&catchable[1])}};
    info = {0, 0, 0, reference(&types)};
    thrown = {nullptr, message, false};
    const uintptr_t arguments[4] = {0x19930520, reinterpret_cast<uintptr_t>(&thrown),
                                    reinterpret_cast<uintptr_t>(&info),
                                    reinterpret_cast<uintptr_t>(&__ImageBase)};
    RaiseException(0xE06D7363, 1, sizeof(void*) == 8 ? 4 : 3, arguments);
}

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
            if (fs::equal(static_cast<const char*>(data), "throw")) {
                throwAsMicrosoftDoes("the Microsoft-built component gave up");
            }
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
