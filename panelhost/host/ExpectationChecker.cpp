#include "host/ExpectationChecker.h"

#include "host/ExpectedBreaches.h"
#include "host/UnknownControl.h"

#include <algorithm>
#include <map>

namespace {

// The lines of a block judged as one expectation; none for a single line.
std::vector<int> blockLines(const std::vector<const Item*>& group) {
    std::vector<int> lines;
    for (const Item* item : group) {
        lines.push_back(item->line);
    }
    return lines.size() > 1 ? lines : std::vector<int>();
}

} // namespace

void ExpectationChecker::beginStep() {
    m_sentChecked.clear();
    m_eventsChecked.clear();
    m_covered.clear();
}

void ExpectationChecker::add(const Item& expectation, const OutcomeOf& outcomeOf) {
    m_pending.push_back(expectation);
    if (m_immediate) {
        check(outcomeOf);
    }
}

void ExpectationChecker::emit(ExpectRecord record, const Item& item) {
    record.instance = item.instance;
    m_sink.emit(record);
}

std::string ExpectationChecker::expand(const std::string& text) const {
    std::string out = text;
    const std::string marker = "{ui}";
    for (std::size_t at = out.find(marker); at != std::string::npos;
         at = out.find(marker, at + m_ui.size())) {
        out.replace(at, marker.size(), m_ui);
    }
    return out;
}

void ExpectationChecker::check(const OutcomeOf& outcomeOf) {
    if (m_pending.empty()) {
        return;
    }
    const std::vector<Item> pending = std::move(m_pending);
    m_pending.clear();
    // Gathered expectations judge all their lines about one instance after one
    // step together, at the first of them; the others each alone.
    using Kind = Expectation::Kind;
    std::map<std::pair<std::string, Kind>, std::vector<const Item*>> gathered;
    for (const Item& item : pending) {
        const Kind kind = std::get<Expectation>(item.what).kind;
        if (expectationWord(kind).gathered) {
            gathered[{item.instance, kind}].push_back(&item);
        }
    }
    for (const Item& item : pending) {
        const Kind kind = std::get<Expectation>(item.what).kind;
        const StepOutcome outcome = outcomeOf(item.instance);
        if (!expectationWord(kind).gathered) {
            expectOne(item, outcome);
            continue;
        }
        const std::vector<const Item*>& group = gathered[{item.instance, kind}];
        if (&item != group.front()) {
            continue;
        }
        if (kind == Kind::Sent) {
            expectList(group, outcome.log.sent);
        } else if (kind == Kind::Event) {
            expectList(group, outcome.log.events);
        } else if (kind == Kind::Debug) {
            std::string expected;
            for (const Item* line : group) {
                expected += expand(std::get<Expectation>(line->what).text.value_or(""));
            }
            ExpectRecord record;
            record.line = item.line;
            record.lines = blockLines(group);
            record.what = Kind::Debug;
            record.held = expected == outcome.debug;
            record.expected = ExpectValue::ofText(expected);
            record.actual = ExpectValue::ofText(outcome.debug);
            emit(record, item);
        } else if (kind == Kind::Breach) {
            std::vector<BreachRecord> open;
            for (const BreachRecord& breach : outcome.log.breaches) {
                if (m_covered.count(breach.id) == 0) {
                    open.push_back(breach);
                }
            }
            for (const ExpectRecord& record :
                 matchExpectedBreaches(group, open, outcome.log.line)) {
                m_covered.insert(record.covers);
                emit(record, item);
            }
        }
    }
}

void ExpectationChecker::expectList(const std::vector<const Item*>& group,
                                    const std::vector<std::string>& all) {
    const Expectation& first = std::get<Expectation>(group.front()->what);
    std::vector<std::string> actual = all;
    if (m_immediate) {
        // One line typed: it is the next entry of the step's list, or "none" for
        // a list that is empty.
        std::size_t& checked =
            (first.kind == Expectation::Kind::Sent ? m_sentChecked
                                                   : m_eventsChecked)[group.front()->instance];
        const bool none = !first.text;
        actual = none || checked >= all.size()
                     ? std::vector<std::string>(none ? all : std::vector<std::string>())
                     : std::vector<std::string>{all[checked]};
        checked += none ? 0 : 1;
    }
    std::vector<std::string> expected;
    for (const Item* item : group) {
        const Expectation& expectation = std::get<Expectation>(item->what);
        if (expectation.text) {
            expected.push_back(expand(*expectation.text));
        }
    }
    ExpectRecord record;
    record.line = group.front()->line;
    record.lines = blockLines(group);
    record.what = first.kind;
    record.held = expected == actual;
    record.expected = ExpectValue::ofLines(expected);
    record.actual = ExpectValue::ofLines(actual);
    emit(record, *group.front());
}

void ExpectationChecker::expectOne(const Item& item, const StepOutcome& outcome) {
    const Expectation& expectation = std::get<Expectation>(item.what);
    ExpectRecord record;
    record.line = item.line;
    record.what = expectation.kind;
    const ExpectValue expected =
        expectation.text ? ExpectValue::ofText(expand(*expectation.text)) : ExpectValue::none();
    switch (expectation.kind) {
    case Expectation::Kind::Reply:
        record.expected = expected;
        record.actual = ExpectValue::ofOptional(outcome.reply);
        break;
    case Expectation::Kind::Property: {
        record.panel = expectation.panel;
        record.control = expectation.control;
        record.property = expectation.property;
        record.expected = expected;
        const Panel* panel = outcome.panels.panel(expectation.panel);
        const Control* control =
            panel != nullptr ? panel->layout.find(expectation.control) : nullptr;
        const std::string* value =
            control != nullptr ? control->find(expectation.property) : nullptr;
        record.actual = value != nullptr ? ExpectValue::ofText(*value) : ExpectValue::none();
        break;
    }
    default: {
        std::vector<int> want = expectation.numbers;
        std::vector<int> have = expectation.kind == Expectation::Kind::Routers
                                    ? outcome.routers
                                    : outcome.world.runningTimers();
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        record.expected = ExpectValue::ofNumbers(want);
        record.actual = ExpectValue::ofNumbers(have);
    }
    }
    record.held = record.expected == record.actual;
    emit(record, item);
    if (m_checkControls && expectation.kind == Expectation::Kind::Property) {
        if (const auto problem =
                unknownControl(outcome.panels, item.line, expectation.panel, expectation.control)) {
            ProblemRecord named = *problem;
            named.instance = item.instance;
            m_sink.emit(named);
        }
    }
}
