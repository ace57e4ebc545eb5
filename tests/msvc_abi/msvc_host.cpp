// A panel host as its makers build it: Microsoft's C++ ABI (clang in Microsoft
// mode), no C runtime, kernel32 only. It loads quillon.dll from its own folder,
// delivers every event type through slot 1 of the component's table, takes a
// parent-command reply round trip (type 3, then type 5), destroys the component
// with a plain `delete` (slot 0, the scalar deleting destructor) and checks the
// exact traffic of each step. Exit 0 when every step held.
#include "freestanding.h"
#include "host_event_types.h"
#include "host_records.h"
#include "load_tarn_client_script.h"

namespace {

const int MaxLines = 16;
const int LineSize = 160;

// Records what the component sends; answers a few commands from a fixed table,
// each reply a fresh buffer, and takes the give-backs.
class LoggingHost : public ClientHost {
public:
    void TARN_THISCALL reserved() override { note("slot 0 of ClientHost was called"); }

    char* TARN_THISCALL send(const char* text, int mode) override {
        if (mode == GiveBack) {
            takeBack(text);
            return nullptr;
        }
        note(text != nullptr ? text : "(null command)");
        bool owed = false;
        const char* reply = replyTo(text, owed);
        if (reply == nullptr) {
            return nullptr;
        }
        if (!owed) {
            // The reply stays the host's: the component only tests it.
            static char kept[LineSize];
            fs::copy(kept, sizeof kept, reply);
            return kept;
        }
        char* issued = fs::duplicate(reply);
        for (char*& slot : m_issued) {
            if (slot == nullptr) {
                slot = issued;
                break;
            }
        }
        return issued;
    }

    int lines() const { return m_lines; }
    const char* line(int i) const { return m_log[i]; }
    void clear() { m_lines = 0; }
    bool allGivenBack() const {
        for (char* slot : m_issued) {
            if (slot != nullptr) {
                return false;
            }
        }
        return true;
    }

private:
    // The reply to `command`, and whether the component owes it back.
    static const char* replyTo(const char* command, bool& owed) {
        struct Entry {
            const char* command;
            const char* reply;
            bool owed;
        };
        static const Entry table[] = {
            {"PS '1' 'ui/quillon.tarn_ui'", "OK", false},
            {"SD 'CAM'", "20 12", true},
            {"RN 20 1 12", "Studio A", true},
        };
        for (const Entry& entry : table) {
            if (fs::equal(command, entry.command)) {
                owed = entry.owed;
                return entry.reply;
            }
        }
        return nullptr;
    }

    void takeBack(const char* text) {
        char line[LineSize];
        fs::copy(line, sizeof line, "[5] ");
        if (text == nullptr) {
            fs::append(line, sizeof line, "(null)");
            note(line);
            return;
        }
        for (char*& slot : m_issued) {
            if (slot == text) {
                fs::append(line, sizeof line, text);
                note(line);
                delete[] slot;
                slot = nullptr;
                return;
            }
        }
        fs::append(line, sizeof line, "(a pointer this host never issued)");
        note(line);
    }

    void note(const char* text) {
        if (m_lines < MaxLines) {
            fs::copy(m_log[m_lines++], LineSize, text);
        }
    }

    char m_log[MaxLines][LineSize] = {};
    int m_lines = 0;
    char* m_issued[8] = {};
};

int failures = 0;

// Compares the host's traffic since the last check with `expected` (a null-ended
// list), prints one ok / not ok line, and starts the next step.
void check(LoggingHost& host, const char* step, const char* const* expected,
           bool resultHeld = true) {
    int n = 0;
    bool same = resultHeld;
    for (; expected[n] != nullptr; ++n) {
        same = same && n < host.lines() && fs::equal(host.line(n), expected[n]);
    }
    same = same && n == host.lines();
    fs::print(same ? "ok - " : "not ok - ");
    fs::print(step);
    fs::print("\n");
    if (!same) {
        ++failures;
        if (!resultHeld) {
            fs::print("  the event's result was wrong\n");
        }
        for (int i = 0; expected[i] != nullptr; ++i) {
            fs::print("  expected: ");
            fs::print(expected[i]);
            fs::print("\n");
        }
        for (int i = 0; i < host.lines(); ++i) {
            fs::print("  sent:     ");
            fs::print(host.line(i));
            fs::print("\n");
        }
    }
    host.clear();
}

void* asData(const char* text) {
    return const_cast<char*>(text);
}

int run() {
    // A local, not a global: without a C runtime no global constructor runs.
    LoggingHost host;
    void* library = LoadLibraryA("quillon.dll");
    if (library == nullptr) {
        fs::print("not ok - quillon.dll cannot be loaded\n");
        return 2;
    }
    auto factory = reinterpret_cast<load_tarn_client_script_fn>(
        GetProcAddress(library, "load_tarn_client_script"));
    if (factory == nullptr) {
        fs::print("not ok - quillon.dll has no export load_tarn_client_script\n");
        return 2;
    }

    tarn_client_callback* component = factory(&host, "ui");
    {
        const char* const sent[] = {"PS '1' 'ui/quillon.tarn_ui'", nullptr};
        check(host, "the factory loads the layout into panel 1", sent, component != nullptr);
    }
    if (component == nullptr) {
        return 1;
    }
    const char* const nothing[] = {nullptr};

    int revertiveRecord[4] = {20, 1, 7, 0};
    check(host, "type 1, a revertive, sends nothing", nothing,
          component->handleHostEvent(revertiveRecord, HostEventRevertive) == nullptr);

    {
        const char* const sent[] = {"SD 'CAM'",
                                    "[5] 20 12",
                                    "RN 20 1 12",
                                    "[5] Studio A",
                                    "TP 'text=Studio A' '1' 'myDest'",
                                    "RR 20 1 1",
                                    nullptr};
        check(host, "type 3, instance=CAM, resolves, names and registers", sent,
              component->handleHostEvent(asData("instance=CAM"), HostEventParentCommand) ==
                  nullptr);
    }

    {
        // The event text of the button, parsed by the host into the shared layout;
        // this host fills the record itself, as a Microsoft-built host does.
        alignas(CommandText) unsigned char storage[sizeof(CommandText)] = {};
        CommandText* event = reinterpret_cast<CommandText*>(storage);
        static char key[] = "pressed";
        static char empty[] = "";
        event->key = key;
        for (char*& sub : event->sub) {
            sub = empty;
        }
        event->value = empty;
        event->subCount = 0;
        event->hasValue = false;
        event->buffer = key;
        ButtonEventRecord record = {0, 0, "1", "myDest", event};
        const char* const sent[] = {"HN 'selected=12'", nullptr};
        check(host, "type 2, a press on myDest, raises the selection", sent,
              component->handleHostEvent(&record, HostEventButton) == nullptr);
    }

    {
        char* reply = component->handleHostEvent(asData("_events"), HostEventParentCommand);
        check(host, "type 3, _events, answers with a reply and sends nothing", nothing,
              reply != nullptr && fs::equal(reply, "selected=*"));
        check(host, "type 5 gives that reply back to the library", nothing,
              component->handleHostEvent(reply, HostEventReplyGivenBack) == nullptr);
        check(host, "type 5 with null is ignored", nothing,
              component->handleHostEvent(nullptr, HostEventReplyGivenBack) == nullptr);
    }

    {
        const char* const sent[] = {"ET 9", nullptr};
        check(host, "type 4, timer 9, stops it", sent,
              component->handleHostEvent(reinterpret_cast<void*>(static_cast<intptr_t>(9)),
                                         HostEventTimer) == nullptr);
    }

    {
        int32_t storage[DatabaseChangeRecord::wordsFor(8)];
        DatabaseChangeRecord* record = placeDatabaseChangeRecord(storage, 20, 1, 12, "Studio B");
        const char* const sent[] = {"TP 'text=Studio B' '1' 'myDest'", nullptr};
        check(host, "type 6, a change of its own name, shows it", sent,
              component->handleHostEvent(record, HostEventDatabaseChange) == nullptr);
    }

    check(host, "type 7, an auxiliary event, sends nothing", nothing,
          component->handleHostEvent(revertiveRecord, HostEventAux) == nullptr);

    const int unknown[] = {0, 8, -1};
    for (int type : unknown) {
        check(host, "an unknown type sends nothing", nothing,
              component->handleHostEvent(revertiveRecord, type) == nullptr);
    }

    // The host's own `delete`: slot 0 with flags 1, the library frees the object.
    delete component;
    {
        const char* const sent[] = {"RU 20", "AS", nullptr};
        check(host, "delete unregisters the router, then AS is the last text", sent);
    }
    check(host, "every reply that had to come back came back", nothing, host.allGivenBack());
    FreeLibrary(library);
    return failures == 0 ? 0 : 1;
}

} // namespace

extern "C" void mainCRTStartup() {
    ExitProcess(static_cast<unsigned>(run()));
}
