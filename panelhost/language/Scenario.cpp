#include "language/Scenario.h"

#include "Rules.h"
#include "language/ChildAddressing.h"
#include "language/Keywords.h"
#include "language/ScenarioInput.h"
#include "language/Text.h"

#include <algorithm>
#include <sstream>

namespace {

// Reads the words of one line, knowing where each begins; a word that begins
// with a double quote runs to the closing quote and is decoded as a text.
class Words {
public:
    explicit Words(const std::string& line) : m_line(line) {}

    // The next word as written (not decoded); false at the end of the line.
    bool raw(std::string& out) {
        skipBlanks();
        m_start = m_at;
        if (m_at == m_line.size()) {
            return false;
        }
        if (m_line[m_at] == '"') {
            for (++m_at; m_at < m_line.size() && m_line[m_at] != '"'; ++m_at) {
                if (m_line[m_at] == '\\') {
                    ++m_at;
                }
            }
            m_at = m_at < m_line.size() ? m_at + 1 : m_at;
        } else {
            while (m_at < m_line.size() && !isBlank(m_line[m_at])) {
                ++m_at;
            }
        }
        out = m_line.substr(m_start, m_at - m_start);
        return true;
    }

    // The rest of the line, trimmed, not decoded.
    std::string rest() {
        skipBlanks();
        m_start = m_at;
        const std::string text = trim(m_line.substr(m_at));
        m_at = m_line.size();
        return text;
    }

    // The column (from 1) where the last word or rest began.
    int column() const { return static_cast<int>(m_start) + 1; }

private:
    void skipBlanks() {
        while (m_at < m_line.size() && isBlank(m_line[m_at])) {
            ++m_at;
        }
    }

    const std::string& m_line;
    std::size_t m_at = 0;
    std::size_t m_start = 0;
};

struct Parser {
    Words words;
    ScenarioError& error;

    bool fail(const std::string& reason, int column) {
        error.message = reason;
        error.column = column;
        return false;
    }

    // A text written as one word (a name); `what` says what it names.
    bool word(std::string& out, const char* what) {
        std::string raw;
        if (!words.raw(raw)) {
            return fail(std::string("expected ") + what + ", but the line ends", words.column());
        }
        if (raw == "=" || raw == "=>") {
            return fail(std::string("expected ") + what + " before '" + raw + "'", words.column());
        }
        return decode(raw, out, words.column());
    }

    bool decode(const std::string& raw, std::string& out, int column) {
        std::string reason;
        std::size_t at = 0;
        return decodeText(raw, out, reason, &at) || fail(reason, column + static_cast<int>(at));
    }

    bool number(int& out, const char* what) {
        std::string text;
        if (!words.raw(text)) {
            return fail(std::string("expected a number for ") + what + ", but the line ends",
                        words.column());
        }
        return checkNumber(text, out, what, words.column());
    }

    bool checkNumber(const std::string& text, int& out, const char* what, int column) {
        switch (readInt(text, out)) {
        case NumberRead::Ok:
            return true;
        case NumberRead::OutOfRange:
            return fail(std::string(what) + " " + clipped(text) +
                            " is out of range (-2147483648 to 2147483647)",
                        column);
        default:
            return fail(std::string("expected a number for ") + what + ", found '" + clipped(text) +
                            "'",
                        column);
        }
    }

    bool equals(const char* after) {
        std::string text;
        if (!words.raw(text)) {
            return fail(std::string("expected '=' after ") + after + ", but the line ends",
                        words.column());
        }
        return text == "=" ||
               fail(std::string("expected '=' after ") + after + ", found '" + clipped(text) + "'",
                    words.column());
    }

    // The rest as a text; "none" gives null when allowed.
    bool text(std::optional<std::string>& out, bool noneAllowed) {
        const std::string raw = words.rest();
        const int column = words.column();
        if (noneAllowed && raw == "none") {
            out.reset();
            return true;
        }
        std::string decoded;
        if (!decode(raw, decoded, column)) {
            return false;
        }
        out = decoded;
        return true;
    }

    bool end() {
        const std::string rest = words.rest();
        return rest.empty() ||
               fail("unexpected '" + clipped(rest) + "' at the end of the line", words.column());
    }

    bool numbers(std::vector<int>& out, const char* what) {
        std::string item;
        int count = 0;
        while (words.raw(item)) {
            if (count == 0 && item == "none") {
                return end();
            }
            int value = 0;
            if (!checkNumber(item, value, what, words.column())) {
                return false;
            }
            out.push_back(value);
            ++count;
        }
        return count > 0 ||
               fail(std::string("expected numbers or none for ") + what, words.column());
    }
};

// A child is named by letters, digits, '_', '-' and '.', so that it reads back
// as one word before ':' and stands in any output unquoted.
bool childName(Parser& p, const std::string& name) {
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    });
    if (name.empty() || !plain) {
        return p.fail("a child's name is letters, digits, '_', '-' and '.', not '" + clipped(name) +
                          "'",
                      p.words.column());
    }
    if (name == EveryChild) {
        return p.fail(std::string("'") + EveryChild +
                          "' addresses every child; no child is named so",
                      p.words.column());
    }
    return true;
}

// "parent PREFIX => every|others [AS]" or "parent PREFIX => none": the events
// beginning with PREFIX that the parent delivers, to whom, and renamed how.
bool parseRelay(Parser& p, Fact& fact) {
    const std::string rest = p.words.rest();
    const int column = p.words.column();
    const std::size_t arrow = rest.find("=>");
    if (arrow == std::string::npos) {
        return p.fail("expected parent PREFIX => " + relayList() + ", but there is no '=>'",
                      column);
    }
    if (!p.decode(trim(rest.substr(0, arrow)), fact.object, column)) {
        return false;
    }
    if (fact.object.empty()) {
        return p.fail("expected an event prefix before '=>'", column);
    }
    const std::string tail = rest.substr(arrow + 2);
    const int tailColumn = column + static_cast<int>(arrow) + 2;
    Words after(tail);
    std::string word;
    after.raw(word);
    const RelayWord* relay = findRelayWord(word);
    if (relay == nullptr) {
        return p.fail("expected " + relayList() + " after '=>'", tailColumn + after.column() - 1);
    }
    fact.relay = relay->kind;
    const std::string as = after.rest();
    const int asColumn = tailColumn + after.column() - 1;
    if (as.empty()) {
        return true;
    }
    if (fact.relay == Fact::Relay::Stop) {
        return p.fail("unexpected '" + clipped(as) + "' after none", asColumn);
    }
    std::string decoded;
    if (!p.decode(as, decoded, asColumn)) {
        return false;
    }
    fact.value = decoded;
    return true;
}

// The words after a fact's keyword, by the kind `fact` already has.
bool parseFact(Parser& p, Fact& fact) {
    switch (fact.kind) {
    case Fact::Kind::Setting:
        return p.word(fact.object, "a package object") && p.word(fact.id, "a setting id") &&
               p.equals("the setting id") && p.text(fact.value, false);
    case Fact::Kind::Name:
        return p.number(fact.device, "the device") && p.number(fact.database, "the database") &&
               p.number(fact.index, "the index") && p.equals("the index") &&
               p.text(fact.value, true);
    case Fact::Kind::Instance:
        return p.word(fact.object, "an instance name") && p.equals("the instance name") &&
               p.text(fact.value, true);
    case Fact::Kind::Control:
        return p.word(fact.panel, "a panel") && p.word(fact.control, "a control") &&
               p.word(fact.property, "a property") && p.equals("the property") &&
               p.text(fact.value, false);
    case Fact::Kind::Child:
        return p.word(fact.object, "a child's name") && childName(p, fact.object) && p.end();
    case Fact::Kind::Parent:
        return parseRelay(p, fact);
    case Fact::Kind::Answer:
        break;
    }
    const std::string rest = p.words.rest();
    const int column = p.words.column();
    const std::size_t arrow = rest.find("=>");
    if (arrow == std::string::npos) {
        return p.fail("expected answer PREFIX => REPLY, but there is no '=>'", column);
    }
    if (!p.decode(trim(rest.substr(0, arrow)), fact.object, column)) {
        return false;
    }
    if (fact.object.empty()) {
        return p.fail("expected a command prefix before '=>'", column);
    }
    const std::string reply = trim(rest.substr(arrow + 2));
    const int replyColumn =
        column + static_cast<int>(rest.find_first_not_of(" \t\r", arrow + 2) == std::string::npos
                                      ? rest.size()
                                      : rest.find_first_not_of(" \t\r", arrow + 2));
    if (reply == "world") {
        fact.backToWorld = true;
        return true;
    }
    if (reply == "none") {
        return true;
    }
    std::string decoded;
    if (!p.decode(reply, decoded, replyColumn)) {
        return false;
    }
    fact.value = decoded;
    return true;
}

// The words after a step's keyword, by the kind `step` already has.
bool parseStep(Parser& p, Step& step) {
    switch (step.kind) {
    case Step::Kind::Load:
    case Step::Kind::Destroy:
        return p.end();
    case Step::Kind::Command:
        return p.text(step.text, true);
    case Step::Kind::Press:
        return p.word(step.panel, "a panel") && p.word(step.control, "a control") &&
               p.text(step.text, false);
    case Step::Kind::DatabaseChange:
        return p.number(step.numbers[0], "the device") &&
               p.number(step.numbers[1], "the database") &&
               p.number(step.numbers[2], "the index") && p.equals("the index") &&
               p.text(step.text, false);
    case Step::Kind::Timer:
        return p.number(step.numbers[0], "the timer id") && p.end();
    case Step::Kind::Revertive: {
        // Three numbers or none: a revertive names its device, destination and
        // source, or is the bare event with zeros.
        const char* const what[] = {"the device", "the destination", "the source"};
        std::string item;
        for (int i = 0; i < 3; ++i) {
            if (!p.words.raw(item)) {
                return i == 0 || p.fail("revertive takes three numbers (device, destination, "
                                        "source) or none",
                                        p.words.column());
            }
            if (!p.checkNumber(item, step.numbers[i], what[i], p.words.column())) {
                return false;
            }
        }
        return p.end();
    }
    case Step::Kind::Event:
        return p.number(step.numbers[0], "the event type") && p.end();
    case Step::Kind::Aux:
        break;
    }
    return p.text(step.text, false);
}

bool parseExpectation(Parser& p, Expectation& expectation) {
    std::string what;
    if (!p.words.raw(what)) {
        return p.fail("expected what to expect: " + expectationList(), p.words.column());
    }
    const ExpectationWord* word = findExpectationWord(what);
    if (word == nullptr) {
        return p.fail("unknown expectation '" + clipped(what) + "'" +
                          keywordSuggestion(what, true) + "; the expectations are " +
                          expectationList(),
                      p.words.column());
    }
    expectation.kind = word->kind;
    using Kind = Expectation::Kind;
    switch (expectation.kind) {
    case Kind::Property:
        return p.word(expectation.panel, "a panel") && p.word(expectation.control, "a control") &&
               p.word(expectation.property, "a property") && p.equals("the property") &&
               p.text(expectation.text, true);
    case Kind::Routers:
        return p.numbers(expectation.numbers, "a router");
    case Kind::Timers:
        return p.numbers(expectation.numbers, "a timer");
    case Kind::Breach: {
        if (!p.word(expectation.rule, "a rule id")) {
            return false;
        }
        const RuleInfo* rule = findRule(expectation.rule);
        if (rule == nullptr) {
            return p.fail("no rule " + clipped(expectation.rule) +
                              " (panelhost --list-rules lists them)",
                          p.words.column());
        }
        expectation.rule = rule->id;
        return p.end();
    }
    default:
        return p.text(expectation.text, true);
    }
}

} // namespace

std::string ScenarioError::where() const {
    if (line == 0) {
        return printable(message);
    }
    return "line " + std::to_string(line) +
           (column > 0 ? ", column " + std::to_string(column) : std::string()) + ": " +
           printable(message);
}

bool parseScenarioLine(const std::string& line, int number, std::optional<Item>& out,
                       ScenarioError& error) {
    out.reset();
    error = ScenarioError();
    error.line = number;
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') {
        return true;
    }
    Parser p{Words(line), error};
    std::string keyword;
    p.words.raw(keyword);
    Item item;
    item.line = number;
    item.source = text;
    // "NAME: line" addresses the line to one child, "every: line" to each.
    if (keyword.size() > 1 && keyword.back() == ':' && keyword.front() != '"') {
        const std::string name = keyword.substr(0, keyword.size() - 1);
        item.addressed = true;
        item.every = name == EveryChild;
        if (!item.every && !childName(p, name)) {
            return false;
        }
        item.instance = item.every ? std::string() : name;
        if (!p.words.raw(keyword)) {
            return p.fail("expected a line after '" + clipped(name) + ":'", p.words.column());
        }
    }
    const int keywordColumn = p.words.column();
    if (const FactWord* fact = findFactWord(keyword)) {
        Fact parsed;
        parsed.kind = fact->kind;
        if (!parseFact(p, parsed)) {
            return false;
        }
        item.what = parsed;
        out = item;
        return true;
    }
    if (const StepWord* step = findStepWord(keyword)) {
        Step parsed;
        parsed.kind = step->kind;
        if (!parseStep(p, parsed)) {
            return false;
        }
        item.what = parsed;
        out = item;
        return true;
    }
    if (keyword == "expect") {
        Expectation parsed;
        if (!parseExpectation(p, parsed)) {
            return false;
        }
        item.what = parsed;
        out = item;
        return true;
    }
    return p.fail("unknown keyword '" + clipped(keyword) + "'" + keywordSuggestion(keyword, false) +
                      "; the keywords are " + keywordList(),
                  keywordColumn);
}

bool parseScenario(const std::string& text, Scenario& out, std::vector<ScenarioError>& errors,
                   bool stepless, ChildAddressing* after) {
    out = Scenario();
    errors.clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool stepSeen = false;
    ChildAddressing own;
    ChildAddressing& addressing = after != nullptr ? *after : own;
    addressing = ChildAddressing();
    while (std::getline(lines, line)) {
        ++number;
        std::optional<Item> item;
        ScenarioError error;
        if (!parseScenarioLine(line, number, item, error)) {
            errors.push_back(error);
            continue;
        }
        if (!item) {
            continue;
        }
        stepSeen = stepSeen || std::holds_alternative<Step>(item->what);
        if (!stepSeen && std::holds_alternative<Expectation>(item->what)) {
            errors.push_back(
                {number, 0, "an expectation before any step: it has nothing to check"});
            continue;
        }
        if (!addressing.resolve(*item, error)) {
            errors.push_back(error);
            continue;
        }
        out.items.push_back(*item);
    }
    if (!stepSeen && !stepless && errors.empty()) {
        errors.push_back({0, 0, "holds no step, so nothing would be played or checked"});
    }
    return errors.empty();
}

bool loadScenario(const std::string& path, std::string& text, Scenario& out,
                  std::vector<ScenarioError>& errors, bool stepless) {
    std::string error;
    errors.clear();
    if (!readScenarioInput(path, text, error)) {
        errors.push_back({0, 0, error});
        return false;
    }
    if (!parseScenario(text, out, errors, stepless)) {
        for (ScenarioError& each : errors) {
            if (each.line == 0) {
                each.message =
                    (path == "-" ? StandardInputName : path) + std::string(" ") + each.message;
            }
        }
        return false;
    }
    return true;
}

std::string describeErrors(const std::string& source, const std::vector<ScenarioError>& errors,
                           std::size_t shown) {
    std::string message;
    for (std::size_t i = 0; i < errors.size() && i < shown; ++i) {
        const ScenarioError& error = errors[i];
        message += (message.empty() ? "" : "\n") +
                   (error.line > 0 ? printable(source) + ": " + error.where() : error.where());
    }
    if (errors.size() > shown) {
        message += "\nand " + std::to_string(errors.size() - shown) + " more errors";
    }
    if (errors.size() > 1) {
        message += "\n" + std::to_string(errors.size()) + " errors; nothing was played";
    }
    return message;
}
