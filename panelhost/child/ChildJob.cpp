#include "child/ChildJob.h"

#include "output/JsonBytes.h"

using nlohmann::json;

namespace {

const char* const Kinds[] = {"scenario", "plan", "terminal"};

json keysJson(const CommandKeys& keys) {
    json out = json::array();
    for (const auto& entry : keys) {
        json hints = json::array();
        for (const std::string& hint : entry.second) {
            hints.push_back(jsonBytes(hint));
        }
        out.push_back({jsonBytes(entry.first), hints});
    }
    return out;
}

CommandKeys keysOf(const json& in) {
    CommandKeys keys;
    if (!in.is_array()) {
        return keys;
    }
    for (const json& entry : in) {
        if (!entry.is_array() || entry.size() != 2 || !entry[1].is_array()) {
            continue;
        }
        std::vector<std::string>& hints = keys[bytesOf(entry[0])];
        for (const json& hint : entry[1]) {
            hints.push_back(bytesOf(hint));
        }
    }
    return keys;
}

} // namespace

std::string jobToJson(const ChildJob& job) {
    const FuzzPlan& plan = job.plan;
    return dumpJson({{"kind", Kinds[static_cast<int>(job.kind)]},
                     {"library", jsonBytes(job.library)},
                     {"ui", jsonBytes(job.ui)},
                     {"scenario_name", jsonBytes(job.scenarioName)},
                     {"scenario_text", jsonBytes(job.scenarioText)},
                     {"states", job.states},
                     {"plan",
                      {{"probe", plan.probe},
                       {"seed", plan.seed},
                       {"keys", keysJson(plan.keys)},
                       {"events", plan.events},
                       {"seconds", plan.seconds},
                       {"stop", plan.stopAtFinding},
                       {"dropped", plan.dropped}}}});
}

bool jobFromJson(const std::string& text, ChildJob& job) {
    const json in = json::parse(text, nullptr, false);
    if (in.is_discarded() || !in.is_object() || !in.contains("plan") || !in["plan"].is_object()) {
        return false;
    }
    const std::string kind = in.value("kind", "");
    bool known = false;
    for (int i = 0; i < 3; ++i) {
        if (kind == Kinds[i]) {
            job.kind = static_cast<ChildJob::Kind>(i);
            known = true;
        }
    }
    job.library = bytesAt(in, "library");
    job.ui = bytesAt(in, "ui");
    job.scenarioName = bytesAt(in, "scenario_name");
    job.scenarioText = bytesAt(in, "scenario_text");
    job.states = in.value("states", false);
    const json& plan = in["plan"];
    job.plan.probe = plan.value("probe", false);
    job.plan.seed = plan.value("seed", 1ULL);
    job.plan.keys = keysOf(plan.contains("keys") ? plan["keys"] : json());
    job.plan.events = plan.value("events", 0L);
    job.plan.seconds = plan.value("seconds", 0.0);
    job.plan.stopAtFinding = plan.value("stop", true);
    job.plan.dropped = plan.value("dropped", std::set<int>());
    return known;
}
