// Test components with one fault each, such as a user of the kit might write: a
// button and a lamp in their own layout, no command list, and only the host's
// "instance" key. None of them names its fault anywhere, so validate and fuzz
// find each one only by playing the component's own world. OWN_FAULT picks the
// fault when the library is built. Test use only.
#include "load_tarn_client_script.h"
#include "tarn_script_helper.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <thread>

namespace {

enum Fault {
    CrashOnOwnButton = 1, // the button "go" writes through a null pointer
    ReplyNeverBack,       // the reply of SD is kept
    ReplyBackTwice,       // the reply of SD is given back twice
    LeakPerCommand,       // 64 KiB lost on every parent command
    SendFromThread,       // the button "go" calls the host from a thread of its own
    ShutdownInCommand,    // "instance" sends the shutdown notice AS
    NullLookupKept,       // RN without a reply gets no null give-back
    HangOnOwnButton,      // the button "go" never returns
    DeepStack,            // the button "go" puts 3 MiB on the stack
    ReadAfterGiveBack,    // the reply of SD is read after it was given back
    WritePastNul,         // a byte is written past the NUL of the reply of SD
    HandlePerCommand,     // a file opened on every parent command and never closed
    LateCall,             // the button "go" starts a thread that calls the host 20 ms later
    ThreadLeftRunning,    // the button "go" starts a thread that never ends
    StaticShared,         // the instance chosen is kept in a static, which "go" shows
    CrashBesideAnother,   // a second instance made while the first lives crashes
};

// What a faulty component keeps where every instance of it sees the same.
std::string chosenInstance;
void* liveInstance = nullptr;

// Fills 3 MiB of its own stack frame; what it returns keeps the frame real.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
int deepFrame(int seed) {
    char frame[3u << 20];
    char* volatile bytes = frame;
    std::memset(bytes, seed, sizeof frame);
    return bytes[sizeof frame - 1];
}

class OwnFault : public tarn_script_helper {
public:
    OwnFault(ClientHost* owner, const char* folder) : tarn_script_helper(owner, folder) {
        if (OWN_FAULT == CrashBesideAnother && liveInstance != nullptr) {
            int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        liveInstance = this;
        openPanel("1", "own_fault.tarn_ui", "");
    }
    ~OwnFault() override { liveInstance = nullptr; }

    void onButton(ButtonNotify* event) override {
        if (std::strcmp(static_cast<const char*>(event->control()), "go") != 0) {
            return;
        }
        if (OWN_FAULT == CrashOnOwnButton) {
            int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        if (OWN_FAULT == HangOnOwnButton) {
            for (volatile unsigned spin = 0;; spin = spin + 1) {
            }
        }
        if (OWN_FAULT == SendFromThread) {
            std::thread([this] { host->send("TP 'on=1' '1' 'lamp'", ClientHost::Command); }).join();
        }
        if (OWN_FAULT == DeepStack) {
            depth = deepFrame(static_cast<int>(std::strlen(event->eventKey())));
        }
        if (OWN_FAULT == LateCall) {
            ClientHost* later = host;
            std::thread([later] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                later->send("TP 'on=0' '1' 'lamp'", ClientHost::Command);
            }).detach();
        }
        if (OWN_FAULT == ThreadLeftRunning) {
            std::thread([] {
                for (;;) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            }).detach();
        }
        setProperty("on", OWN_FAULT == StaticShared ? chosen().c_str() : "1", "1", "lamp");
    }
    int onRevertive(RevertiveNotify*) override { return 0; }
    void onTimer(int id) override { stopTimer(id); }

    tarn_string onParentCommand(ParentCommandNotify* command) override {
        if (OWN_FAULT == LeakPerCommand) {
            char* lost = new (std::nothrow) char[65536];
            if (lost != nullptr) {
                std::memset(lost, 1, 65536);
            }
            kept = lost;
        }
        if (OWN_FAULT == HandlePerCommand) {
            const std::string layout =
                std::string(static_cast<const char*>(path)) + "/own_fault.tarn_ui";
            opened = std::fopen(layout.c_str(), "r");
        }
        if (std::strcmp(static_cast<const char*>(command->key()), "instance") != 0) {
            return tarn_string();
        }
        const std::string name = static_cast<const char*>(command->value());
        if (name.empty() || name.find('\'') != std::string::npos) {
            return tarn_string(); // no name a command text can carry
        }
        if (OWN_FAULT == ShutdownInCommand) {
            host->send("AS", ClientHost::Command);
            return tarn_string();
        }
        if (OWN_FAULT == NullLookupKept) {
            char* reply = host->send("RN 1 1 1", ClientHost::Command);
            if (reply != nullptr) {
                host->send(reply, ClientHost::GiveBack);
            }
            return tarn_string();
        }
        chosen() = name;
        char* reply = host->send(("SD '" + name + "'").c_str(), ClientHost::Command);
        if (reply != nullptr && OWN_FAULT == WritePastNul) {
            reply[std::strlen(reply) + 1] = ' ';
        }
        if (reply != nullptr && OWN_FAULT != ReplyNeverBack) {
            host->send(reply, ClientHost::GiveBack);
            if (OWN_FAULT == ReplyBackTwice) {
                host->send(reply, ClientHost::GiveBack);
            }
            if (OWN_FAULT == ReadAfterGiveBack) {
                seen = reply[0];
            }
        }
        return tarn_string();
    }

private:
    // The instance this component was told to be: its own, or every instance's.
    std::string& chosen() { return OWN_FAULT == StaticShared ? chosenInstance : ownInstance; }

    std::string ownInstance;
    char* volatile kept = nullptr;
    std::FILE* volatile opened = nullptr;
    volatile char seen = 0;
    volatile int depth = 0;
};

} // namespace

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path) {
    return new (std::nothrow) OwnFault(host, path);
}
