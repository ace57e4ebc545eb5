#include "modes/Learning.h"

#include "child/Supervisor.h"
#include "engine/WorldScript.h"
#include "output/RecordStream.h"

#include <algorithm>

namespace {

const int MostRounds = 4;
const int MostTries = 4; // of one round, each without a step that crashed the last

struct Round {
    bool fatal = false;
    std::string message;
    std::string cause;
    int crashedLine = 0; // the line whose step crashed or hung; 0 when none did
};

Round play(const LibrarySettings& target, const std::vector<std::string>& lines,
           ComponentWorld& world) {
    const ChildJob job =
        scenarioJob(target, "(learning the component's world)", world_script::join(lines));
    Scenario scenario;
    std::vector<ScenarioError> errors;
    Round round;
    if (!parseScenario(job.scenarioText, scenario, errors)) {
        round.fatal = true;
        round.message = describeErrors(job.scenarioName, errors);
        return round;
    }
    RecordStream stream(OutputFormat::Quiet, false, false);
    WorldProbe probe(world);
    stream.observe([&](const Record& record) {
        probe.see(record);
        if (const FatalRecord* fatal = std::get_if<FatalRecord>(&record)) {
            round.fatal = true;
            round.message = fatal->message;
            round.cause = fatal->cause;
        }
    });
    supervise(job, target.timeout, &scenario, stream);
    if (!round.fatal && !stream.tally().finished()) {
        round.crashedLine = stream.tally().stepLine();
    }
    return round;
}

// Plays `lines` and learns from them into `learned`, a step that crashed the
// component left out of the next try; false when the library cannot be
// played at all (`learned` says why).
bool playRound(const LibrarySettings& target, std::vector<std::string> lines, Learned& learned) {
    for (int attempt = 0; attempt < MostTries; ++attempt) {
        ++learned.runs;
        const Round played = play(target, lines, learned.world);
        if (played.fatal) {
            learned.fatal = true;
            learned.message = played.message;
            learned.importsRefused = played.cause == FatalCause::Imports;
            return false;
        }
        const std::size_t crashed = static_cast<std::size_t>(played.crashedLine);
        if (crashed == 0 || crashed > lines.size() || lines[crashed - 1] == "load") {
            break;
        }
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(crashed - 1));
    }
    return true;
}

} // namespace

Learned learnFirstRound(const LibrarySettings& target) {
    Learned learned;
    playRound(target, {"load", "command _commands", "command return=all", "destroy"}, learned);
    return learned;
}

Learned learnWorld(const LibrarySettings& target) {
    Learned learned = learnFirstRound(target);
    ComponentWorld& world = learned.world;
    for (int round = 1; !learned.fatal && round < MostRounds; ++round) {
        const ComponentWorld before = world;
        std::vector<std::string> lines = world.facts();
        for (const std::string& answer : world_script::answerEverything(world)) {
            lines.push_back(answer);
        }
        lines.push_back("load");
        for (const auto& part : {world_script::commands(world), world_script::presses(world),
                                 world_script::others(world)}) {
            lines.insert(lines.end(), part.begin(), part.end());
        }
        lines.push_back("destroy");
        if (playRound(target, lines, learned) && world == before) {
            break;
        }
    }
    return learned;
}
