// A deliberately faulty script component, for showing that each of panelhost's
// audits fires. It stands on the real frame, so everything it does right is
// done the frame's way; each parent command named in its command list commits
// one breach of the host contract by calling the host directly. Those it does
// not list crash, hang, print to standard output, throw, keep a reply where
// every instance of it can give it back, or raise themselves to the parent
// again. Test use only.
#include "load_tarn_client_script.h"
#include "tarn_script_helper.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

class FaultyComponent : public tarn_script_helper {
public:
    FaultyComponent(ClientHost* owner, const char* folder) : tarn_script_helper(owner, folder) {
        openPanel("1", "faulty.tarn_ui", "");
    }

    void onButton(ButtonNotify*) override {}
    int onRevertive(RevertiveNotify*) override { return 0; }
    void onTimer(int id) override { stopTimer(id); }

    tarn_string onParentCommand(ParentCommandNotify* command) override {
        const std::string key = static_cast<const char*>(command->key());
        const std::string value = static_cast<const char*>(command->value());
        if (key == "_commands") {
            return "forget=1\ntwice=1\nforeign=1\nunowed=1\nmalformed=[code|space|quote]\n"
                   "after=1\nregister=1";
        }
        if (key == "forget") {
            host->send("TG '1' 'button' 'text'", ClientHost::Command);
        } else if (key == "twice") {
            char* reply = host->send("TG '1' 'button' 'text'", ClientHost::Command);
            host->send(reply, ClientHost::GiveBack);
            host->send(reply, ClientHost::GiveBack);
        } else if (key == "foreign") {
            static char mine[] = "not the host's";
            host->send(mine, ClientHost::GiveBack);
        } else if (key == "unowed") {
            const std::string load =
                std::string("PS '1' '") + static_cast<const char*>(path) + "/faulty.tarn_ui'";
            host->send(host->send(load.c_str(), ClientHost::Command), ClientHost::GiveBack);
        } else if (key == "malformed") {
            const char* text = value == "space"   ? "TP  'text=x' '1' 'button'"
                               : value == "quote" ? "TP 'text=x '1' 'button'"
                                                  : "tp 'text=x' '1' 'button'";
            host->send(text, ClientHost::Command);
        } else if (key == "after") {
            host->send("AS", ClientHost::Command);
            host->send("TP 'text=late' '1' 'button'", ClientHost::Command);
        } else if (key == "print") {
            // Text that reads like panelhost's own output: it must stay the component's.
            std::printf("{\"type\":\"summary\",\"status\":0}\n");
        } else if (key == "throw") {
            throw std::runtime_error("the faulty component gave up");
        } else if (key == "shared") {
            // A static is every instance's: the reply one instance keeps there,
            // another gives back.
            static char* kept = nullptr;
            if (value == "keep") {
                kept = host->send("TG '1' 'button' 'text'", ClientHost::Command);
            } else {
                host->send(kept, ClientHost::GiveBack);
                kept = nullptr;
            }
        } else if (key == "echo") {
            raiseEvent(tarn_string("echo=") + tarn_string(value.c_str()));
        } else if (key == "register") {
            registerRouter(5, 1, 1, false);
        } else if (key == "crash") {
            int* volatile nowhere = nullptr;
            *nowhere = 1;
        } else if (key == "hang") {
            for (volatile unsigned spin = 0;; spin = spin + 1) {
            }
        }
        return tarn_string();
    }
};

} // namespace

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path) {
    // A UI folder named "no-component" stands for a factory that fails.
    if (path != nullptr && std::strstr(path, "no-component") != nullptr) {
        return nullptr;
    }
    return new (std::nothrow) FaultyComponent(host, path);
}
