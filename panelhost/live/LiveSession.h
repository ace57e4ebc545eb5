// LiveSession: the session a live page drives, played on one thread. The
// component runs in a supervised child fed line by line (ChildJob::fed), after
// the opening scenario. Every request of the page comes through the hub, and
// everything the page does is a line of the scenario language, checked here
// first: a line that is not in the language, an expectation before any step of
// the component's present life, any line while the component is in a step (it
// may hang there), or any line while no component runs, is refused and not
// numbered. The lines taken make the session's scenario, numbered as the
// records show them, and each goes to the child at once.
//
// A component that crashes or hangs ends its child, not the session: the page
// is told, and a restart starts a new child that replays the world facts taken
// so far and none of the steps, whose lines (and their expectations) the new
// life's scenario holds as comments. Saving writes that scenario with what
// happened in the present life as its expectations (ScenarioRecorder), whole;
// so a session saved while its component lies crashed replays the crash, and
// one saved after a restart replays what followed it.
#pragma once

#include "cli/Settings.h"
#include "language/ChildAddressing.h"
#include "language/Scenario.h"
#include "live/LiveHub.h"
#include "output/RecordStream.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ChildInput;

class LiveSession {
public:
    // `opening`: the scenario played first (known to parse, maybe without a
    // step), its text; `stream` shows and counts the records, and `hub` gets
    // each of them as it comes.
    LiveSession(const LiveSettings& settings, const std::string& opening, LiveHub& hub,
                RecordStream& stream);

    // Plays until the page's Quit or until `interrupted()`, then ends the
    // component (its implicit destroy) and writes the session to --record.
    // Returns the status before the summary: 2 when panelhost's own failure
    // ended the session (the fatal record told) or --record was not written
    // (the recorded record told why), else 0 or 1.
    int run(const std::function<bool()>& interrupted);

    // The scenario of the present life as a file holds it: the session's lines,
    // those of earlier lives' steps and expectations as comments.
    std::string lifeText() const;

private:
    // A line taken: a comment or blank (Other), or what it is in the language.
    enum class LineKind { Other, Fact, Step, Expectation };
    static LineKind kindOf(const Item& item);
    struct Line {
        std::string text;
        int life = 0;
        LineKind kind = LineKind::Other;
    };

    void beginLife();
    void tick(ChildInput* input, const std::function<bool()>& interrupted);
    void handle(const LiveHub::Pending& pending, ChildInput* input);
    void takeLine(const LiveHub::Pending& pending, ChildInput& input);
    // Writes the present life's scenario with what happened to `path`, and
    // says so in a recorded record, written or not and why. `message` is the
    // page's JSON answer and `status` its HTTP status: 200 when written, 409
    // when there is nothing that can be recorded, 500 when the file cannot be
    // written (400 with no record for a request that names no file).
    bool save(const std::string& path, std::string& message, int& status);
    void publishState();
    std::string stateJson() const;

    LiveSettings m_settings;
    LiveHub& m_hub;
    RecordStream& m_stream;
    std::vector<Line> m_lines;
    int m_life = 0;
    Scenario m_lifeScenario;       // what the present child has been given
    ChildAddressing m_addressing;  // where its lines leave the children's addresses
    std::vector<Record> m_records; // of the present life
    bool m_lifeHasStep = false;
    std::optional<int> m_openStep; // the line of the step the component is in
    bool m_running = false;
    bool m_quitting = false;
    bool m_restart = false;
    bool m_fatal = false;
    bool m_changed = false; // records came since the state was last published
    // How the present life ended where a crash or hang ended it (the lines it
    // left unplayed); empty while it runs, or when it ended whole.
    SummaryRecord m_lifeEnd;
};
