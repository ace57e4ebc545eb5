#include "modes/Live.h"

#include "engine/ComponentWorld.h"
#include "language/ScenarioInput.h"
#include "language/Text.h"
#include "live/LivePage.h"
#include "live/LiveSession.h"
#include "live/WebServer.h"
#include "modes/Learning.h"

#include <csignal>
#include <cstdio>
#include <thread>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

// The parent commands the component says it takes, as the page offers them:
// "key=" for each key, "key=hint" for each value it hints.
std::vector<std::string> commandsOffered(const ComponentWorld& world) {
    std::vector<std::string> offered;
    for (const auto& [key, hints] : world.keys) {
        offered.push_back(key + "=");
        for (const std::string& hint : hints) {
            offered.push_back(key + "=" + hint);
        }
    }
    return offered;
}

} // namespace

int runLive(const LiveSettings& settings) {
    std::string opening;
    if (!settings.scenario.empty()) {
        Scenario scenario;
        std::vector<ScenarioError> errors;
        if (!loadScenario(settings.scenario, opening, scenario, errors, true)) {
            const std::string name =
                settings.scenario == "-" ? StandardInputName : settings.scenario;
            return reportFatal(OutputFormat::Text, describeErrors(name, errors));
        }
    }
    std::string error;
    const std::unique_ptr<WebServer> server = WebServer::open(settings.port, error);
    if (!server) {
        return reportFatal(OutputFormat::Text, error);
    }
    const Learned taken = learnFirstRound(settings.target);
    if (taken.fatal) {
        return reportFatal(OutputFormat::Text, taken.message);
    }
    const RequestGuard guard(newToken(), server->port());
    LiveHub hub;
    const std::string page =
        livePage(settings.target.library, commandsOffered(taken.world),
                 settings.record.empty() ? "session.scenario" : settings.record);
    std::printf("panelhost live: the panel of %s, served at\n"
                "  http://127.0.0.1:%d/?token=%s\n"
                "Open it in a browser; Ctrl-C or the page's Quit ends the session.\n",
                printable(settings.target.library).c_str(), server->port(), guard.token().c_str());
    std::fflush(stdout);
    interrupted = 0;
    const auto previousInt = std::signal(SIGINT, onInterrupt);
    const auto previousTerm = std::signal(SIGTERM, onInterrupt);
    std::thread serving([&] { server->serve(hub, guard, page); });
    RecordStream stream(OutputFormat::Text, settings.verbose, settings.strict);
    LiveSession session(settings, opening, hub, stream);
    const int status = session.run([] { return interrupted != 0; });
    stream.emitSummary(status);
    hub.publish("end", "{}");
    hub.close();
    server->stop();
    serving.join();
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    return status;
}
