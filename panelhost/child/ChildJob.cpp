#include "child/ChildJob.h"

#include "output/JsonFields.h"

namespace {

const char* const Kinds[] = {"scenario", "plan", "terminal", "leak", "live"};
static_assert(std::size(Kinds) == static_cast<std::size_t>(ChildJob::Kind::Live) + 1,
              "every kind of job has a name");

ChildJob jobOf(ChildJob::Kind kind, const LibrarySettings& target) {
    ChildJob job;
    job.kind = kind;
    job.library = target.library;
    job.ui = target.ui;
    job.stack = target.stack.bytes;
    return job;
}

} // namespace

ChildJob scenarioJob(const LibrarySettings& target, const std::string& name,
                     const std::string& text, bool states) {
    ChildJob job = jobOf(ChildJob::Kind::Scenario, target);
    job.scenarioName = name;
    job.scenarioText = text;
    job.states = states;
    return job;
}

ChildJob writtenScenarioJob(const LibrarySettings& target, const std::string& name,
                            const std::string& text, bool states) {
    ChildJob job = scenarioJob(target, name, text, states);
    job.checkControls = true;
    return job;
}

ChildJob planJob(const LibrarySettings& target, const FuzzPlan& plan, bool everyRecord) {
    ChildJob job = jobOf(ChildJob::Kind::Plan, target);
    job.plan = plan;
    job.plan.everyRecord = everyRecord;
    return job;
}

ChildJob terminalJob(const LibrarySettings& target) {
    ChildJob job = jobOf(ChildJob::Kind::Terminal, target);
    job.checkControls = true;
    return job;
}

ChildJob liveJob(const LibrarySettings& target, const std::string& name, const std::string& text,
                 int firstLine, long firstBreach, int restart) {
    ChildJob job = jobOf(ChildJob::Kind::Live, target);
    job.scenarioName = name;
    job.scenarioText = text;
    job.states = true;
    job.firstLine = firstLine;
    job.firstBreach = firstBreach;
    job.restart = restart;
    job.checkControls = true; // a person's lines, as at a terminal
    return job;
}

ChildJob leakJob(const LibrarySettings& target, const std::string& name, const std::string& first,
                 const std::string& cycle) {
    ChildJob job = jobOf(ChildJob::Kind::Leak, target);
    job.scenarioName = name;
    job.scenarioText = first;
    job.cycleText = cycle;
    return job;
}

const char* nameOf(ChildJob::Kind kind) {
    return Kinds[static_cast<std::size_t>(kind)];
}

bool valueOf(const std::string& name, ChildJob::Kind& kind) {
    for (std::size_t i = 0; i < std::size(Kinds); ++i) {
        if (name == Kinds[i]) {
            kind = static_cast<ChildJob::Kind>(i);
            return true;
        }
    }
    return false;
}

inline auto fieldsOf(Tag<ComponentWorld::Control>) {
    using C = ComponentWorld::Control;
    return std::make_tuple(field("name", &C::name), field("properties", &C::properties),
                           field("made_up", &C::madeUp));
}

inline auto fieldsOf(Tag<ComponentWorld::Panel>) {
    return std::make_tuple(field("file", &ComponentWorld::Panel::file),
                           field("controls", &ComponentWorld::Panel::controls));
}

inline auto fieldsOf(Tag<ComponentWorld>) {
    using W = ComponentWorld;
    return std::make_tuple(field("keys", &W::keys), field("panels", &W::panels),
                           field("lookups", &W::lookups), field("instances", &W::instances),
                           field("names", &W::names), field("routers", &W::routers),
                           field("instance_keys", &W::instanceKeys));
}

inline auto fieldsOf(Tag<FuzzPlan>) {
    using P = FuzzPlan;
    return std::make_tuple(field("seed", &P::seed), field("world", &P::world),
                           field("events", &P::events), field("seconds", &P::seconds),
                           field("dropped_facts", &P::droppedFacts),
                           field("dropped_events", &P::droppedEvents),
                           reached(
                               "only", [](auto& plan) -> auto& { return plan.selection.only; }),
                           reached(
                               "skip", [](auto& plan) -> auto& { return plan.selection.skip; }),
                           reached(
                               "strict", [](auto& plan) -> auto& { return plan.selection.strict; }),
                           field("every_record", &P::everyRecord));
}

inline auto fieldsOf(Tag<ChildJob>) {
    using J = ChildJob;
    return std::make_tuple(
        field("kind", &J::kind), field("library", &J::library), field("ui", &J::ui),
        field("scenario_name", &J::scenarioName), field("scenario_text", &J::scenarioText),
        field("cycle_text", &J::cycleText), field("plan", &J::plan), field("board", &J::board),
        field("states", &J::states), field("stack", &J::stack), field("first_line", &J::firstLine),
        field("first_breach", &J::firstBreach), field("restart", &J::restart),
        field("check_controls", &J::checkControls));
}

std::string jobToJson(const ChildJob& job) {
    return dumpJson(JsonForm::object(job));
}

bool jobFromJson(const std::string& text, ChildJob& job) {
    const nlohmann::json in = nlohmann::json::parse(text, nullptr, false);
    return !in.is_discarded() && in.is_object() && in.contains("kind") &&
           JsonForm::readObject(in, job);
}
