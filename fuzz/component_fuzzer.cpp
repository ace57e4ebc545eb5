// Fuzzes the whole component through its export, its callback and its
// destructor. The input is two parts divided by the first NUL byte: the events,
// one line each, and the host's replies, one line each (see FuzzingHost). The
// first event line is the UI path given to the factory ("~" for none); each
// further line is one host event, chosen by its first byte:
//   r / R        revertive with a record / with none
//   b P|C|E      button on panel P, control C, event text E ("~" for a null field)
//   B            button without a record
//   c TEXT / C   parent command with TEXT / with a null text
//   t N          timer N
//   g N / g-     give back outstanding parent-command reply N / a null pointer
//   d V,B,I,NAME database change of device V, database B, index I
//   F V,B,I,X    the same with a name of LongName characters X
//   D            database change without a record
//   a / A        auxiliary event with data / without
//   x N          event type N without data (types outside 1..7 included)
// The component ends destroyed, after every reply it gave has come back. Besides
// the host contract (the host kit's contract checker, in FuzzingHost), each event
// is checked for what this frame promises: nothing sent for unknown types and for
// a give-back, one "ET N" for a timer, a reply unchanged until it comes back.
#include "ConfigFolder.h"
#include "fuzzing_host.h"
#include "host_event_types.h"
#include "host_records.h"
#include "load_tarn_client_script.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int MostEvents = 2000;
// A database-change name far longer than any fixed field would hold.
const std::size_t LongName = 2000;

// Package objects of every shape the level discovery meets.
const char* const objectSettings = "[pkg]\n"
                                   "package_levels = 2\n"
                                   "driver_ids = 10,20,30,40\n"
                                   "[wide]\n"
                                   "package_levels = 40\n"
                                   "driver_ids = 1,2\n"
                                   "[one]\n"
                                   "package_levels = 1\n"
                                   "[max]\n"
                                   "package_levels = 2147483647\n"
                                   "driver_ids = -1,2147483647,-2147483648,7\n"
                                   "[neg]\n"
                                   "package_levels = -3\n"
                                   "driver_ids = ,,,\n";

std::vector<std::string> fieldsOf(const std::string& text, char separator, std::size_t count) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == separator && fields.size() < count) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    fields.resize(count);
    return fields;
}

int intOf(const std::string& text) {
    return static_cast<int>(numberIn(text, INT_MIN, INT_MAX, 0));
}

struct OwnReply {
    char* text;
    std::string copy;
};

class Session {
public:
    Session(LineReader& events, LineReader& replies) : m_events(events), m_host(replies) {}

    void run() {
        const std::string path = cText(m_events.next());
        m_host.beginCall(ContractChecker::Call::Create);
        m_component = load_tarn_client_script(&m_host, path == "~" ? nullptr : path.c_str());
        m_host.endCall();
        if (m_component == nullptr) {
            fuzzFailure("the factory made a component", "");
        }
        for (int count = 0; count < MostEvents && !m_events.done(); ++count) {
            const std::string line = m_events.next();
            if (!line.empty()) {
                event(line[0], line.substr(1));
            }
        }
        while (!m_outstanding.empty()) {
            giveBack(0);
        }
        m_host.beginCall(ContractChecker::Call::Destroy);
        tarn_destroy_component(m_component);
        m_host.endCall();
    }

private:
    // The host's checker judges the result: none but for a parent command, and
    // never an empty text.
    char* deliver(void* data, int type) {
        m_host.beginCall(ContractChecker::Call::Event, type);
        char* result = m_component->handleHostEvent(data, type);
        m_host.endCall(result);
        return result;
    }

    void event(char kind, const std::string& operand) {
        std::int32_t opaque[8] = {};
        switch (kind) {
        case 'r':
            deliver(opaque, HostEventRevertive);
            break;
        case 'R':
            deliver(nullptr, HostEventRevertive);
            break;
        case 'b':
            button(operand);
            break;
        case 'B':
            deliver(nullptr, HostEventButton);
            break;
        case 'c':
            command(cText(operand).c_str());
            break;
        case 'C':
            command(nullptr);
            break;
        case 't':
            timer(intOf(operand));
            break;
        case 'g':
            if (operand == "-") {
                deliver(nullptr, HostEventReplyGivenBack);
            } else if (!m_outstanding.empty()) {
                giveBack(static_cast<std::size_t>(numberIn(operand, 0, INT_MAX, 0)) %
                         m_outstanding.size());
            }
            break;
        case 'd':
        case 'F':
            databaseChange(kind == 'F', operand);
            break;
        case 'D':
            deliver(nullptr, HostEventDatabaseChange);
            break;
        case 'a':
            deliver(opaque, HostEventAux);
            break;
        case 'A':
            deliver(nullptr, HostEventAux);
            break;
        case 'x':
            rawEvent(intOf(operand));
            break;
        default:
            break;
        }
    }

    void button(const std::string& operand) {
        const std::vector<std::string> fields = fieldsOf(operand, '|', 3);
        const std::string panel = cText(fields[0]);
        const std::string control = cText(fields[1]);
        const std::string eventText = cText(fields[2]);
        CommandText parsed(eventText == "~" ? nullptr : eventText.c_str());
        ButtonEventRecord record = {0, 0, panel == "~" ? nullptr : panel.c_str(),
                                    control == "~" ? nullptr : control.c_str(),
                                    eventText == "~" ? nullptr : &parsed};
        deliver(&record, HostEventButton);
    }

    void command(const char* text) {
        char* reply = deliver(const_cast<char*>(text), HostEventParentCommand);
        if (reply == nullptr) {
            return;
        }
        m_outstanding.push_back({reply, reply});
    }

    void giveBack(std::size_t position) {
        const OwnReply reply = m_outstanding[position];
        m_outstanding.erase(m_outstanding.begin() + static_cast<std::ptrdiff_t>(position));
        if (reply.copy != reply.text) {
            fuzzFailure("a parent-command reply changed before it came back", reply.copy);
        }
        deliver(reply.text, HostEventReplyGivenBack);
        if (!m_host.callCommands().empty()) {
            fuzzFailure("taking a reply back sent a command", m_host.callCommands().front());
        }
    }

    void timer(int id) {
        deliver(reinterpret_cast<void*>(static_cast<std::intptr_t>(id)), HostEventTimer);
        const std::vector<std::string>& sent = m_host.callCommands();
        if (sent.size() != 1 || sent[0] != "ET " + std::to_string(id)) {
            fuzzFailure("a timer is stopped with one ET", std::to_string(id));
        }
    }

    void databaseChange(bool filled, const std::string& operand) {
        const std::vector<std::string> fields = fieldsOf(operand, ',', 4);
        std::string name;
        if (filled) {
            const char fill = fields[3].empty() || fields[3][0] == '\0' ? 'x' : fields[3][0];
            name.assign(LongName, fill);
        } else {
            name = cText(fields[3]).c_str();
        }
        std::vector<std::int32_t> storage(DatabaseChangeRecord::wordsFor(name.size()));
        deliver(placeDatabaseChangeRecord(storage.data(), intOf(fields[0]), intOf(fields[1]),
                                          intOf(fields[2]), name.c_str()),
                HostEventDatabaseChange);
    }

    void rawEvent(int type) {
        if (type == HostEventParentCommand) {
            command(nullptr);
            return;
        }
        if (type >= HostEventRevertive && type <= HostEventAux) {
            deliver(nullptr, type);
            return;
        }
        std::int32_t opaque[8] = {};
        deliver(opaque, type);
        if (!m_host.callCommands().empty()) {
            fuzzFailure("an unknown event type sent a command", std::to_string(type));
        }
    }

    LineReader& m_events;
    FuzzingHost m_host;
    tarn_client_callback* m_component = nullptr;
    std::vector<OwnReply> m_outstanding;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keepErrorOutput();
    // Lives as long as the fuzzer's process.
    static ConfigFolder folder;
    folder.write("object_settings.ini", objectSettings);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* divider = std::memchr(text, '\0', size);
    const std::size_t eventBytes =
        divider == nullptr ? size
                           : static_cast<std::size_t>(static_cast<const char*>(divider) - text);
    LineReader events(data, eventBytes);
    LineReader replies(divider == nullptr ? data + size : data + eventBytes + 1,
                       divider == nullptr ? 0 : size - eventBytes - 1);
    Session session(events, replies);
    session.run();
    return 0;
}
