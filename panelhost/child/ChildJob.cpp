#include "child/ChildJob.h"

#include "output/JsonBytes.h"

using nlohmann::json;

namespace {

const char* const Kinds[] = {"scenario", "plan", "terminal", "leak"};

json texts(const std::vector<std::string>& values) {
    json out = json::array();
    for (const std::string& value : values) {
        out.push_back(jsonBytes(value));
    }
    return out;
}

std::vector<std::string> textsOf(const json& in) {
    std::vector<std::string> out;
    if (in.is_array()) {
        for (const json& value : in) {
            out.push_back(bytesOf(value));
        }
    }
    return out;
}

json worldJson(const ComponentWorld& world) {
    json keys = json::array();
    for (const auto& entry : world.keys) {
        keys.push_back({jsonBytes(entry.first), texts(entry.second)});
    }
    json panels = json::array();
    for (const auto& panel : world.panels) {
        json controls = json::array();
        for (const ComponentWorld::Control& control : panel.second.controls) {
            controls.push_back(
                {jsonBytes(control.name), texts(control.properties), control.madeUp});
        }
        panels.push_back({jsonBytes(panel.first), jsonBytes(panel.second.file), controls});
    }
    json lookups = json::array();
    for (const auto& lookup : world.lookups) {
        lookups.push_back({jsonBytes(lookup.first), jsonBytes(lookup.second)});
    }
    json names = json::array();
    for (const auto& name : world.names) {
        names.push_back({std::get<0>(name), std::get<1>(name), std::get<2>(name)});
    }
    return {{"keys", keys},
            {"panels", panels},
            {"lookups", lookups},
            {"instances", texts({world.instances.begin(), world.instances.end()})},
            {"names", names},
            {"routers", world.routers},
            {"instance_keys", texts({world.instanceKeys.begin(), world.instanceKeys.end()})}};
}

// Reads what worldJson wrote; anything else is left out.
ComponentWorld worldOf(const json& in) {
    ComponentWorld world;
    if (!in.is_object()) {
        return world;
    }
    const auto array = [&](const char* key) { return in.contains(key) && in[key].is_array(); };
    if (array("keys")) {
        for (const json& entry : in["keys"]) {
            if (entry.is_array() && entry.size() == 2) {
                world.keys[bytesOf(entry[0])] = textsOf(entry[1]);
            }
        }
    }
    if (array("panels")) {
        for (const json& entry : in["panels"]) {
            if (!entry.is_array() || entry.size() != 3 || !entry[2].is_array()) {
                continue;
            }
            ComponentWorld::Panel& panel = world.panels[bytesOf(entry[0])];
            panel.file = bytesOf(entry[1]);
            for (const json& control : entry[2]) {
                if (control.is_array() && control.size() == 3 && control[2].is_boolean()) {
                    panel.controls.push_back(
                        {bytesOf(control[0]), textsOf(control[1]), control[2].get<bool>()});
                }
            }
        }
    }
    if (array("lookups")) {
        for (const json& entry : in["lookups"]) {
            if (entry.is_array() && entry.size() == 2) {
                world.lookups.emplace(bytesOf(entry[0]), bytesOf(entry[1]));
            }
        }
    }
    if (array("names")) {
        for (const json& entry : in["names"]) {
            if (entry.is_array() && entry.size() == 3 && entry[0].is_number_integer() &&
                entry[1].is_number_integer() && entry[2].is_number_integer()) {
                world.names.emplace(entry[0].get<int>(), entry[1].get<int>(), entry[2].get<int>());
            }
        }
    }
    for (const std::string& name : textsOf(in.value("instances", json()))) {
        world.instances.insert(name);
    }
    for (const std::string& key : textsOf(in.value("instance_keys", json()))) {
        world.instanceKeys.insert(key);
    }
    world.routers = in.value("routers", std::set<int>());
    return world;
}

} // namespace

std::string jobToJson(const ChildJob& job) {
    const FuzzPlan& plan = job.plan;
    return dumpJson({{"kind", Kinds[static_cast<int>(job.kind)]},
                     {"library", jsonBytes(job.library)},
                     {"ui", jsonBytes(job.ui)},
                     {"scenario_name", jsonBytes(job.scenarioName)},
                     {"scenario_text", jsonBytes(job.scenarioText)},
                     {"cycle_text", jsonBytes(job.cycleText)},
                     {"board", job.board},
                     {"states", job.states},
                     {"plan",
                      {{"seed", plan.seed},
                       {"world", worldJson(plan.world)},
                       {"events", plan.events},
                       {"seconds", plan.seconds},
                       {"dropped_facts", plan.droppedFacts},
                       {"dropped_events", plan.droppedEvents},
                       {"only", plan.selection.only},
                       {"skip", plan.selection.skip},
                       {"strict", plan.selection.strict},
                       {"every_record", plan.everyRecord}}}});
}

bool jobFromJson(const std::string& text, ChildJob& job) {
    const json in = json::parse(text, nullptr, false);
    if (in.is_discarded() || !in.is_object() || !in.contains("plan") || !in["plan"].is_object()) {
        return false;
    }
    const std::string kind = in.value("kind", "");
    bool known = false;
    for (int i = 0; i < 4; ++i) {
        if (kind == Kinds[i]) {
            job.kind = static_cast<ChildJob::Kind>(i);
            known = true;
        }
    }
    job.library = bytesAt(in, "library");
    job.ui = bytesAt(in, "ui");
    job.scenarioName = bytesAt(in, "scenario_name");
    job.scenarioText = bytesAt(in, "scenario_text");
    job.cycleText = bytesAt(in, "cycle_text");
    job.board = in.value("board", "");
    job.states = in.value("states", false);
    const json& plan = in["plan"];
    job.plan.seed = plan.value("seed", 1ULL);
    job.plan.world = worldOf(plan.contains("world") ? plan["world"] : json());
    job.plan.events = plan.value("events", 0L);
    job.plan.seconds = plan.value("seconds", 0.0);
    job.plan.droppedFacts = plan.value("dropped_facts", std::set<int>());
    job.plan.droppedEvents = plan.value("dropped_events", std::set<long>());
    job.plan.selection.only = plan.value("only", std::set<std::string>());
    job.plan.selection.skip = plan.value("skip", std::set<std::string>());
    job.plan.selection.strict = plan.value("strict", false);
    job.plan.everyRecord = plan.value("every_record", false);
    return known;
}
