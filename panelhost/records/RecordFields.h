// RecordFields: the fields of every record (Records.h), described once for the
// forms that carry records field by field: the JSON line of each record that
// the child sends, --json prints and the page embeds, and its reader. A field
// written only sometimes says when; the name of each kind of record is
// recordTypeName's.
#pragma once

#include "records/FieldList.h"
#include "records/Records.h"

// The instance a record belongs to, written only in a run that names instances.
template <class R> auto instanceField() {
    return field("instance", &R::instance, [](const R& r) { return !r.instance.empty(); });
}

inline auto fieldsOf(Tag<StartRecord>) {
    return std::make_tuple(field("library", &StartRecord::library), field("ui", &StartRecord::ui),
                           field("scenario", &StartRecord::scenario),
                           field("restart", &StartRecord::restart,
                                 [](const StartRecord& r) { return r.restart > 0; }));
}

inline auto fieldsOf(Tag<StepRecord>) {
    using R = StepRecord;
    const auto press = [](const R& r) { return r.step == Step::Kind::Press; };
    return std::make_tuple(
        field("line", &R::line), field("step", &R::step),
        field("text", &R::text, [](const R& r) { return r.text.has_value(); }),
        field("panel", &R::panel, press), field("control", &R::control, press),
        field("numbers", &R::numbers, [](const R& r) { return !r.numbers.empty(); }),
        field("implicit", &R::implicit, [](const R& r) { return r.implicit; }),
        field("event", &R::event, [](const R& r) { return r.event >= 0; }), instanceField<R>(),
        field("relayed", &R::relayed, [](const R& r) { return r.relayed.has_value(); }),
        field("raised_by", &R::raisedBy, [](const R& r) { return !r.raisedBy.empty(); }));
}

inline auto fieldsOf(Tag<SentRecord>) {
    return std::make_tuple(field("line", &SentRecord::line), field("command", &SentRecord::command),
                           field("reply", &SentRecord::reply), field("owed", &SentRecord::owed),
                           instanceField<SentRecord>());
}

inline auto fieldsOf(Tag<GiveBackRecord>) {
    return std::make_tuple(field("line", &GiveBackRecord::line), field("of", &GiveBackRecord::of),
                           instanceField<GiveBackRecord>());
}

inline auto fieldsOf(Tag<EventRecord>) {
    return std::make_tuple(field("line", &EventRecord::line), field("text", &EventRecord::text),
                           instanceField<EventRecord>());
}

inline auto fieldsOf(Tag<ReplyRecord>) {
    return std::make_tuple(field("line", &ReplyRecord::line), field("text", &ReplyRecord::text),
                           instanceField<ReplyRecord>());
}

inline auto fieldsOf(Tag<DebugRecord>) {
    return std::make_tuple(field("line", &DebugRecord::line), field("text", &DebugRecord::text),
                           instanceField<DebugRecord>());
}

inline auto fieldsOf(Tag<BreachRecord>) {
    using R = BreachRecord;
    return std::make_tuple(
        field("line", &R::line), field("id", &R::id), field("rule", &R::rule),
        derived("name", [](const R& r) { return std::string(ruleInfo(r.rule).name); }),
        derived("severity",
                [](const R& r) { return std::string(severityName(ruleInfo(r.rule).severity)); }),
        field("command", &R::command), field("detail", &R::detail),
        field("implicit", &R::implicit, [](const R& r) { return r.implicit; }), instanceField<R>());
}

inline auto fieldsOf(Tag<ExpectRecord>) {
    using R = ExpectRecord;
    const auto property = [](const R& r) { return r.what == Expectation::Kind::Property; };
    const auto breach = [](const R& r) { return r.what == Expectation::Kind::Breach; };
    return std::make_tuple(
        field("line", &R::line),
        field("lines", &R::lines, [](const R& r) { return r.lines.size() > 1; }),
        field("what", &R::what), field("held", &R::held), field("expected", &R::expected),
        field("actual", &R::actual), field("panel", &R::panel, property),
        field("control", &R::control, property), field("property", &R::property, property),
        field("rule", &R::rule, breach), field("step", &R::step, breach),
        field("covers", &R::covers, breach), instanceField<R>());
}

inline auto fieldsOf(Tag<ProblemRecord>) {
    return std::make_tuple(field("line", &ProblemRecord::line), field("text", &ProblemRecord::text),
                           field("nearest", &ProblemRecord::nearest),
                           instanceField<ProblemRecord>());
}

inline auto fieldsOf(Tag<EndRecord>) {
    return std::make_tuple(
        field("line", &EndRecord::line),
        field("micros", &EndRecord::micros, [](const EndRecord& r) { return r.micros >= 0; }),
        instanceField<EndRecord>());
}

inline auto fieldsOf(Tag<PanelRecord::Control>) {
    return std::make_tuple(field("name", &PanelRecord::Control::name),
                           field("properties", &PanelRecord::Control::properties));
}

inline auto fieldsOf(Tag<PanelRecord>) {
    return std::make_tuple(field("panel", &PanelRecord::panel),
                           field("source", &PanelRecord::source),
                           field("controls", &PanelRecord::controls), instanceField<PanelRecord>());
}

inline auto fieldsOf(Tag<StateRecord>) {
    return std::make_tuple(field("line", &StateRecord::line), field("panels", &StateRecord::panels),
                           field("changed", &StateRecord::changed),
                           field("routers", &StateRecord::routers),
                           field("timers", &StateRecord::timers), instanceField<StateRecord>());
}

inline auto fieldsOf(Tag<SummaryRecord>) {
    using R = SummaryRecord;
    const auto unplayed = [](const R& r) { return r.notPlayed > 0; };
    return std::make_tuple(
        field("steps", &R::steps), field("expectations", &R::expectations), field("held", &R::held),
        field("failed", &R::failed), field("errors", &R::errors), field("warnings", &R::warnings),
        field("expected_breaches", &R::expectedBreaches), field("status", &R::status),
        field("not_played", &R::notPlayed, unplayed),
        field("not_played_from", &R::notPlayedFrom, unplayed),
        field("problems", &R::problems, [](const R& r) { return r.problems > 0; }));
}

inline auto fieldsOf(Tag<FatalRecord>) {
    return std::make_tuple(
        field("message", &FatalRecord::message), field("status", &FatalRecord::status),
        field("cause", &FatalRecord::cause, [](const FatalRecord& r) { return !r.cause.empty(); }));
}

inline auto fieldsOf(Tag<TerminalRecord>) {
    using R = TerminalRecord;
    const auto show = [](const R& r) { return r.what == R::What::Show; };
    return std::make_tuple(field("what", &R::what),
                           field("text", &R::text, [](const R& r) { return !r.text.empty(); }),
                           field("routers", &R::routers, show), field("timers", &R::timers, show),
                           field("loaded", &R::loaded, show), instanceField<R>());
}

inline auto fieldsOf(Tag<RecordedRecord>) {
    using R = RecordedRecord;
    const auto written = [](const R& r) { return r.written; };
    return std::make_tuple(
        field("file", &R::file), field("written", &R::written),
        field("reason", &R::reason, [](const R& r) { return !r.written; }),
        field("expectations", &R::expectations, written), field("failed", &R::failed, written),
        field("breaches", &R::breaches, written), field("unrecordable", &R::unrecordable, written));
}

inline auto fieldsOf(Tag<OutputRecord>) {
    return std::make_tuple(field("line", &OutputRecord::line),
                           field("stream", &OutputRecord::stream),
                           field("text", &OutputRecord::text), instanceField<OutputRecord>());
}

inline auto fieldsOf(Tag<ProgressRecord>) {
    return std::make_tuple(
        field("events", &ProgressRecord::events), field("steps", &ProgressRecord::steps),
        field("sent", &ProgressRecord::sent), field("seconds", &ProgressRecord::seconds));
}

inline auto fieldsOf(Tag<MemoryRecord>) {
    return std::make_tuple(field("how", &MemoryRecord::how), field("cycles", &MemoryRecord::cycles),
                           field("steps", &MemoryRecord::steps),
                           field("readings", &MemoryRecord::readings),
                           field("handles", &MemoryRecord::handles));
}

inline auto fieldsOf(Tag<ValidationRecord>) {
    return std::make_tuple(field("library", &ValidationRecord::library),
                           field("ui", &ValidationRecord::ui));
}

inline auto fieldsOf(Tag<WorldRecord>) {
    using R = WorldRecord;
    return std::make_tuple(field("panels", &R::panels), field("controls", &R::controls),
                           field("keys", &R::keys), field("instances", &R::instances),
                           field("names", &R::names), field("routers", &R::routers),
                           field("runs", &R::runs), field("seconds", &R::seconds));
}

inline auto fieldsOf(Tag<CheckFinding>) {
    using R = CheckFinding;
    return std::make_tuple(
        field("rule", &R::rule, [](const R& r) { return !r.rule.empty(); }),
        field("times", &R::times, [](const R& r) { return r.times > 0; }),
        field("step", &R::step, [](const R& r) { return !r.step.empty(); }),
        field("event", &R::event, [](const R& r) { return r.event > 0; }),
        field("command", &R::command, [](const R& r) { return !r.command.empty(); }),
        field("message", &R::message),
        field("replay", &R::replay, [](const R& r) { return !r.replay.empty(); }));
}

inline auto fieldsOf(Tag<CheckRecord>) {
    using R = CheckRecord;
    return std::make_tuple(
        field("check", &R::check),
        derived("name", [](const R& r) { return std::string(checkInfo(r.check).name); }),
        field("outcome", &R::outcome), field("seconds", &R::seconds), field("summary", &R::summary),
        field("findings", &R::findings));
}

inline auto fieldsOf(Tag<ValidatedRecord>) {
    using R = ValidatedRecord;
    return std::make_tuple(
        field("library", &R::library), field("checks", &R::checks), field("held", &R::held),
        field("warned", &R::warned), field("failed", &R::failed), field("skipped", &R::skipped),
        field("seed", &R::seed), field("seconds", &R::seconds), field("status", &R::status));
}

inline auto fieldsOf(Tag<FuzzRecord>) {
    using R = FuzzRecord;
    return std::make_tuple(field("library", &R::library), field("seed", &R::seed),
                           field("events", &R::events), field("seconds", &R::seconds));
}

inline auto fieldsOf(Tag<FuzzFindingRecord>) {
    using R = FuzzFindingRecord;
    return std::make_tuple(field("fails", &R::fails), field("event", &R::event),
                           field("seconds", &R::seconds, [](const R& r) { return r.fails; }),
                           field("breach", &R::breach));
}

inline auto fieldsOf(Tag<ShrunkRecord>) {
    using R = ShrunkRecord;
    return std::make_tuple(field("kept", &R::kept), field("events", &R::events),
                           field("facts_kept", &R::factsKept), field("facts", &R::facts),
                           field("scenario", &R::scenario),
                           field("file", &R::file, [](const R& r) { return !r.file.empty(); }));
}

inline auto fieldsOf(Tag<FuzzedRecord>) {
    using R = FuzzedRecord;
    return std::make_tuple(field("events", &R::events), field("steps", &R::steps),
                           field("sent", &R::sent), field("seconds", &R::seconds),
                           field("found", &R::found), field("status", &R::status));
}
