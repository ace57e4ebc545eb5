#include "bench_cases.h"

#include "CommandText.h"
#include "HostEvents.h"
#include "NullHost.h"
#include "baselines.h"
#include "decodeTARNString.h"
#include "load_tarn_client_script.h"
#include "tarn_string.h"
#include "tarn_stringlist.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace {

std::string dots(int count) {
    std::string text = "key";
    for (int i = 0; i < count; ++i) {
        text += ".s" + std::to_string(i);
    }
    return text + "=value";
}

void keep(const tarn_string& text) {
    const char* data = text;
    benchmark::DoNotOptimize(data);
    benchmark::ClobberMemory();
}

} // namespace

struct BenchCases::CommandCase {
    NullHost host;
    tarn_client_callback* component = nullptr;
    std::vector<std::string> texts;
    std::vector<baseline::Road> roads;
    std::size_t next = 0;
    std::size_t nextBaseline = 0;

    ~CommandCase() { tarn_destroy_component(component); }

    // One parent command as a panel host delivers it, the answer given back.
    void deliver(const std::string& text) {
        char* answer = host_events::parentCommand(*component, text.c_str());
        host_events::giveBack(*component, answer);
    }

    // The same, keeping a copy of the answer's text.
    std::string deliverAndKeep(const std::string& text) {
        char* answer = host_events::parentCommand(*component, text.c_str());
        std::string reply = answer != nullptr ? answer : "";
        host_events::giveBack(*component, answer);
        return reply;
    }
};

BenchCases::BenchCases() {
    m_config.write("object_settings.ini", "[pkg]\npackage_levels = 2\ndriver_ids = 10,20,30,40\n");
    addTextCases();
    addCommandCase("command/selected-unchanged", {"selected=9"});
    addCommandCase("command/selected", {"selected=7", "selected=-1"});
    addCommandCase("command/return-all", {"return=all"});
    addCommandCase("command/instance", {"instance=cam9", "instance=cam7"});
    addCommandCase("command/matrixobject", {"matrixobject=pkg"});
    addCommandCase("command/namesDatabase", {"namesDatabase=1"});
    addCommandCase("command/buttonlow", {"buttonlow=low"});
    addCommandCase("command/buttonhigh", {"buttonhigh=high"});
    addCommandCase("command/tallystate_L1", {"tallystate_L1=a", "tallystate_L1=b"});
    addCommandCase("command/tallystate_L2", {"tallystate_L2=a", "tallystate_L2=b"});
    addCommandCase("command/unusedleveltext", {"unusedleveltext=Unused Level"});
    addCommandCase("command/_events", {"_events"});
    addCommandCase("command/_commands", {"_commands"});
    addCommandCase("command/unknown", {"colour=red"});
    addCommandCase("discoverLevels/uselevels", {"uselevels=1,2"});
}

BenchCases::~BenchCases() = default;

const BenchCase* BenchCases::find(const std::string& name) const {
    for (const BenchCase& c : m_cases) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

void BenchCases::addTextCases() {
    const std::pair<const char*, std::string> parses[] = {
        {"parse/short", "selected=7"},
        {"parse/long", "unusedleveltext=" + std::string(200, 'x')},
        {"parse/33dots", dots(33)},
    };
    for (const auto& parse : parses) {
        const std::string text = parse.second;
        m_cases.push_back({parse.first,
                           [text] {
                               const CommandText command(text.c_str());
                               benchmark::DoNotOptimize(command.value);
                           },
                           [text] { baseline::parse(text.c_str()); }});
    }

    const std::pair<const char*, std::string> replies[] = {
        {"decode/device", "12 34"},
        {"decode/quoted", "'Studio A' 'Camera 3' 17"},
    };
    for (const auto& reply : replies) {
        const std::string text = reply.second;
        m_cases.push_back({reply.first,
                           [text] {
                               const decodeTARNString words(text.c_str(), '\'');
                               benchmark::DoNotOptimize(words.tokens[1]);
                           },
                           [text] { baseline::decode(text.c_str()); }});
    }

    const tarn_string format("SD '%1'");
    const std::pair<const char*, std::string> values[] = {
        {"arg/short", "cam7"},
        {"arg/long", "studio_a_camera_07_backup_feed"},
    };
    for (const auto& value : values) {
        const tarn_string argument(value.second.c_str());
        const std::string text = value.second;
        m_cases.push_back({value.first, [format, argument] { keep(format.arg(argument)); },
                           [text] { baseline::fill("SD '%1'", text.c_str()); }});
    }
    const tarn_string numberFormat("RN %1 1 7");
    m_cases.push_back({"arg/number", [numberFormat] { keep(numberFormat.arg(20, 0, 0, 10)); },
                       [] { baseline::fillNumber("RN %1 1 7", 20); }});

    const tarn_string property("text=Camera 3");
    m_cases.push_back({"split/property",
                       [property] {
                           tarn_string key;
                           tarn_string value;
                           property.split('=', key, value);
                           keep(key);
                           keep(value);
                       },
                       [] { baseline::split("text=Camera 3", '='); }});

    const tarn_string drivers("10,20,30,40");
    m_cases.push_back({"list/drivers",
                       [drivers] {
                           const tarn_stringlist list(drivers, ',');
                           benchmark::DoNotOptimize(&list);
                           benchmark::ClobberMemory();
                       },
                       [] { baseline::list("10,20,30,40", ','); }});

    const std::vector<std::string> entries = {
        "matrixobject=pkg", "uselevels=1,2",   "namesDatabase=1", "buttonlow=low",
        "buttonhigh=high",  "tallystate_L1=a", "tallystate_L2=b", "unusedleveltext=Unused Level",
    };
    tarn_stringlist settings;
    for (const std::string& entry : entries) {
        settings << tarn_string(entry.c_str());
    }
    m_cases.push_back({"toString/settings", [settings] { keep(settings.toString('\n')); },
                       [entries] { baseline::join(entries, '\n'); }});
}

void BenchCases::addCommandCase(const std::string& name, std::vector<std::string> texts) {
    m_commandCases.push_back(std::make_unique<CommandCase>());
    CommandCase& c = *m_commandCases.back();
    c.component = load_tarn_client_script(&c.host, "/opt/panels/ui");
    c.texts = std::move(texts);
    // Every case starts from a resolved destination with its levels shown.
    c.deliver("matrixobject=pkg");
    c.deliver("uselevels=1,2");
    c.deliver("instance=cam7");
    // Records each text's traffic; the texts of a case undo each other, so the
    // state afterwards is the state before.
    for (const std::string& text : c.texts) {
        c.host.startRecording();
        baseline::Road road;
        road.text = text;
        road.reply = c.deliverAndKeep(text);
        road.steps = c.host.stopRecording();
        // A discovery reads two settings and sends two "driverid" properties.
        road.settingsReads = 0;
        for (const NullHost::Step& step : road.steps) {
            road.settingsReads += step.command.rfind("TP 'driverid=", 0) == 0 ? 1 : 0;
        }
        c.roads.push_back(std::move(road));
    }
    const std::string settingsFile = m_config.root() + "/object_settings.ini";
    m_cases.push_back({name,
                       [&c] {
                           c.deliver(c.texts[c.next]);
                           c.next = (c.next + 1) % c.texts.size();
                       },
                       [&c, settingsFile] {
                           baseline::road(c.roads[c.nextBaseline], c.host, settingsFile.c_str());
                           c.nextBaseline = (c.nextBaseline + 1) % c.roads.size();
                       }});
}
