#include "records/Records.h"

#include <iterator>

std::string stepPlace(int line, bool implicit) {
    if (!implicit) {
        return "line " + std::to_string(line);
    }
    return line > 0 ? "implicit load before line " + std::to_string(line)
                    : std::string("implicit destroy at the end");
}

std::string expectPlace(const ExpectRecord& record) {
    if (record.lines.size() < 2) {
        return "line " + std::to_string(record.line);
    }
    std::string out = "lines ";
    for (std::size_t i = 0; i < record.lines.size(); ++i) {
        // A run of consecutive lines is shown as its first and last.
        std::size_t last = i;
        while (last + 1 < record.lines.size() && record.lines[last + 1] == record.lines[last] + 1) {
            ++last;
        }
        out += (i == 0 ? "" : ", ") + std::to_string(record.lines[i]) +
               (last > i ? "-" + std::to_string(record.lines[last]) : std::string());
        i = last;
    }
    return out;
}

ExpectValue ExpectValue::ofLines(std::vector<std::string> lines) {
    ExpectValue value;
    value.form = Form::Lines;
    value.lines = std::move(lines);
    return value;
}

ExpectValue ExpectValue::ofNumbers(std::vector<int> numbers) {
    ExpectValue value;
    value.form = Form::Numbers;
    value.numbers = std::move(numbers);
    return value;
}

ExpectValue ExpectValue::ofText(std::string text) {
    ExpectValue value;
    value.form = Form::Text;
    value.text = std::move(text);
    return value;
}

ExpectValue ExpectValue::ofOptional(const std::optional<std::string>& text) {
    return text ? ofText(*text) : none();
}

bool ExpectValue::operator==(const ExpectValue& other) const {
    return form == other.form && lines == other.lines && numbers == other.numbers &&
           text == other.text;
}

namespace {

const char* const TypeNames[] = {
    "start",   "step",     "sent",   "giveback", "event",   "reply",      "debug",
    "breach",  "expect",   "end",    "panel",    "summary", "fatal",      "terminal",
    "state",   "recorded", "output", "progress", "memory",  "validation", "world",
    "check",   "validated", "problem", "fuzz",   "finding", "shrunk",     "fuzzed"};
static_assert(std::size(TypeNames) == std::variant_size_v<Record>,
              "every kind of record has a name");

const char* const OutcomeNames[] = {"ok", "warn", "FAIL", "skip"};
static_assert(std::size(OutcomeNames) == static_cast<std::size_t>(CheckOutcome::Skipped) + 1,
              "every outcome has a name");

const char* const TerminalNames[] = {"begin", "prompt", "help", "show", "error"};
static_assert(std::size(TerminalNames) == static_cast<std::size_t>(TerminalRecord::What::Error) + 1,
              "every terminal record has a name");

// The value of the enum whose name in `names` is `name`.
template <class Enum, std::size_t N>
bool named(const char* const (&names)[N], const std::string& name, Enum& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == names[i]) {
            value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

template <std::size_t... Index>
void makeRecord(std::size_t index, Record& out, std::index_sequence<Index...>) {
    ((index == Index ? (out = std::variant_alternative_t<Index, Record>(), 0) : 0), ...);
}

} // namespace

const char* recordTypeName(const Record& record) {
    return TypeNames[record.index()];
}

bool recordOfType(const std::string& type, Record& out) {
    for (std::size_t i = 0; i < std::size(TypeNames); ++i) {
        if (type == TypeNames[i]) {
            makeRecord(i, out, std::make_index_sequence<std::variant_size_v<Record>>());
            return true;
        }
    }
    return false;
}

const char* nameOf(Rule rule) {
    return ruleInfo(rule).id;
}

bool valueOf(const std::string& name, Rule& rule) {
    const RuleInfo* info = findRule(name);
    rule = info != nullptr ? info->rule : rule;
    return info != nullptr;
}

const char* nameOf(Check check) {
    return checkInfo(check).id;
}

bool valueOf(const std::string& name, Check& check) {
    const CheckInfo* info = findCheck(name);
    check = info != nullptr ? info->check : check;
    return info != nullptr;
}

const char* nameOf(CheckOutcome outcome) {
    return OutcomeNames[static_cast<std::size_t>(outcome)];
}

bool valueOf(const std::string& name, CheckOutcome& outcome) {
    return named(OutcomeNames, name, outcome);
}

const char* nameOf(TerminalRecord::What what) {
    return TerminalNames[static_cast<std::size_t>(what)];
}

bool valueOf(const std::string& name, TerminalRecord::What& what) {
    return named(TerminalNames, name, what);
}
