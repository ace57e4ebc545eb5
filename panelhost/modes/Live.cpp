#include "modes/Live.h"

#include "child/Supervisor.h"
#include "engine/ComponentWorld.h"
#include "language/ScenarioInput.h"
#include "language/Text.h"
#include "live/LivePage.h"
#include "live/LiveSession.h"
#include "live/WebServer.h"

#include <csignal>
#include <cstdio>
#include <thread>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

// The parent commands the component says it takes, as the page offers them:
// "key=" for each key, "key=hint" for each value it hints. `fatal` says why
// the library cannot be played at all.
std::vector<std::string> whatItTakes(const LibrarySettings& target, std::string& fatal) {
    const std::string text = "load\ncommand _commands\ndestroy\n";
    const ChildJob job = scenarioJob(target, "(asking the component what it takes)", text);
    Scenario scenario;
    std::vector<ScenarioError> errors;
    parseScenario(text, scenario, errors);
    ComponentWorld world;
    WorldProbe probe(world);
    RecordStream quiet(OutputFormat::Quiet, false, false);
    quiet.observe([&](const Record& record) {
        probe.see(record);
        if (const FatalRecord* record_ = std::get_if<FatalRecord>(&record)) {
            fatal = record_->message;
        }
    });
    supervise(job, target.timeout, &scenario, quiet);
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
    const std::vector<std::string> offered = whatItTakes(settings.target, error);
    if (!error.empty()) {
        return reportFatal(OutputFormat::Text, error);
    }
    const RequestGuard guard(newToken(), server->port());
    LiveHub hub;
    const std::string page =
        livePage(settings.target.library, offered,
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
