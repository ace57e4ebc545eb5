#include "Fuzzer.h"

#include "FuzzGenerator.h"
#include "Rules.h"
#include "Run.h"
#include "Watchdog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

using nlohmann::json;

namespace {

struct Outcome {
    int status = 0;
    bool fatal = false;
    std::vector<json> breaches;
    std::vector<json> replies;
    int steps = 0;
    int sent = 0;
};

// Runs scenario lines quietly in a supervised child.
Outcome play(const Options& options, const std::vector<std::string>& lines) {
    const std::string file = temporaryFileName("panelhost-fuzz", ".scenario");
    {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& line : lines) {
            out << line << "\n";
        }
    }
    Options quiet = options;
    quiet.mode = Options::Mode::Run;
    quiet.scenario = file;
    quiet.quiet = true;
    quiet.json = false;
    Scenario scenario;
    std::string error;
    Outcome outcome;
    if (!loadScenario(file, scenario, error)) {
        std::fprintf(stderr, "panelhost fuzz: generated an unreadable scenario: %s\n",
                     error.c_str());
        outcome.fatal = true;
        return outcome;
    }
    std::vector<json> records;
    outcome.status = superviseRun(quiet, &scenario, &records);
    outcome.fatal = outcome.status == 2;
    for (const json& record : records) {
        const std::string type = record.value("type", "");
        outcome.steps += type == "step" ? 1 : 0;
        outcome.sent += type == "sent" ? 1 : 0;
        if (type == "breach") {
            outcome.breaches.push_back(record);
        } else if (type == "reply" && record["text"].is_string()) {
            outcome.replies.push_back(record);
        } else if (type == "fatal") {
            outcome.fatal = true;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    return outcome;
}

bool shows(const Outcome& outcome, const std::string& rule) {
    for (const json& breach : outcome.breaches) {
        if (breach.value("rule", "") == rule) {
            return true;
        }
    }
    return false;
}

// The scenario of the world and the first `count` events, then destruction.
std::vector<std::string> prefix(const std::vector<std::string>& world,
                                const std::vector<std::vector<std::string>>& events,
                                std::size_t count) {
    std::vector<std::string> lines = world;
    for (std::size_t i = 0; i < count; ++i) {
        lines.insert(lines.end(), events[i].begin(), events[i].end());
    }
    lines.push_back("destroy");
    return lines;
}

} // namespace

int runFuzz(const Options& options) {
    std::printf("panelhost fuzz: %s, seed %llu, %d events\n", options.library.c_str(), options.seed,
                options.events);
    std::fflush(stdout);

    // The component's own keys: its command list and its settings list.
    const Outcome probe = play(options, {"command _commands", "command return=all", "destroy"});
    if (probe.fatal) {
        return 2;
    }
    std::map<std::string, std::vector<std::string>> keys;
    for (const json& reply : probe.replies) {
        FuzzGenerator::addKeys(reply["text"].get<std::string>(), keys);
    }
    keys["instance"]; // the host's own instance table names every destination

    FuzzGenerator generator(options.seed, keys);
    const std::vector<std::string> world = generator.world();
    std::vector<std::vector<std::string>> events;
    std::vector<int> lastLine; // the scenario line of each event's step
    int line = static_cast<int>(world.size());
    for (int i = 0; i < options.events; ++i) {
        events.push_back(generator.event());
        line += static_cast<int>(events.back().size());
        lastLine.push_back(line);
    }

    const Outcome full = play(options, prefix(world, events, events.size()));
    if (full.fatal) {
        return 2;
    }
    if (full.breaches.empty()) {
        std::printf("panelhost fuzz: no findings in %d steps, %d commands sent\n", full.steps,
                    full.sent);
        return 0;
    }
    const json& finding = full.breaches.front();
    const std::string rule = finding.value("rule", "");
    const int findingLine = finding.value("line", 0);
    std::size_t count = events.size();
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (lastLine[i] >= findingLine) {
            count = i + 1;
            break;
        }
    }
    if (count == events.size() || !shows(play(options, prefix(world, events, count)), rule)) {
        // Found at the final destruction, or not shown by the prefix through its
        // event: the shortest prefix whose destruction still shows it.
        std::size_t low = 0;
        std::size_t high = events.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (shows(play(options, prefix(world, events, middle)), rule)) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        count = low;
    }

    const RuleInfo& info = *findRule(rule);
    std::vector<std::string> replay = {
        "# panelhost fuzz replay: seed " + std::to_string(options.seed) + ", " +
            std::to_string(count) + " of " + std::to_string(options.events) + " events",
        "# finding: " + rule + " " + info.name + " (" + severityName(info.severity) +
            "): " + finding.value("command", "") +
            (finding.value("command", "").empty() ? "" : ": ") + finding.value("detail", "")};
    const std::vector<std::string> body = prefix(world, events, count);
    replay.insert(replay.end(), body.begin(), body.end());

    std::printf("panelhost fuzz: finding %s %s (%s) in the first %zu events: %s\n", rule.c_str(),
                info.name, severityName(info.severity), count, finding.value("detail", "").c_str());
    if (!options.out.empty()) {
        std::ofstream out(options.out, std::ios::binary);
        for (const std::string& text : replay) {
            out << text << "\n";
        }
        std::printf("panelhost fuzz: replay scenario written to %s\n", options.out.c_str());
    }
    std::printf("--- replay scenario ---\n");
    for (const std::string& text : replay) {
        std::printf("%s\n", text.c_str());
    }
    return 1;
}
