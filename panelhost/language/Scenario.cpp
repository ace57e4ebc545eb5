#include "language/Scenario.h"

#include "Rules.h"
#include "language/ScenarioInput.h"
#include "language/Text.h"

#include <algorithm>
#include <sstream>

namespace {

const char* const FactKeywords[] = {"setting", "name", "instance", "control", "answer"};
const char* const StepKeywords[] = {"load",      "command", "press",   "dbchange", "timer",
                                    "revertive", "aux",     "destroy", "event"};
const char* const ExpectationWords[] = {"sent",     "event",   "debug",  "reply",
                                        "property", "routers", "timers", "breach"};

std::string keywordList() {
    std::string out;
    for (const char* word : FactKeywords) {
        out += std::string(out.empty() ? "" : ", ") + word;
    }
    for (const char* word : StepKeywords) {
        out += std::string(", ") + word;
    }
    return out + ", expect";
}

// The number of single-character edits between two short words.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// " (did you mean 'x'?)" for a word one or two edits from one of `words`.
template <std::size_t N>
std::string suggestion(const std::string& word, const char* const (&words)[N]) {
    for (const char* candidate : words) {
        if (editDistance(word, candidate) <= 2) {
            return std::string(" (did you mean '") + candidate + "'?)";
        }
    }
    return "";
}

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

bool parseFact(const std::string& keyword, Parser& p, Fact& fact) {
    if (keyword == "setting") {
        fact.kind = Fact::Kind::Setting;
        return p.word(fact.object, "a package object") && p.word(fact.id, "a setting id") &&
               p.equals("the setting id") && p.text(fact.value, false);
    }
    if (keyword == "name") {
        fact.kind = Fact::Kind::Name;
        return p.number(fact.device, "the device") && p.number(fact.database, "the database") &&
               p.number(fact.index, "the index") && p.equals("the index") &&
               p.text(fact.value, true);
    }
    if (keyword == "instance") {
        fact.kind = Fact::Kind::Instance;
        return p.word(fact.object, "an instance name") && p.equals("the instance name") &&
               p.text(fact.value, true);
    }
    if (keyword == "control") {
        fact.kind = Fact::Kind::Control;
        return p.word(fact.panel, "a panel") && p.word(fact.control, "a control") &&
               p.word(fact.property, "a property") && p.equals("the property") &&
               p.text(fact.value, false);
    }
    fact.kind = Fact::Kind::Answer;
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

bool parseStep(const std::string& keyword, Parser& p, Step& step) {
    if (keyword == "load" || keyword == "destroy") {
        step.kind = keyword == "load" ? Step::Kind::Load : Step::Kind::Destroy;
        return p.end();
    }
    if (keyword == "command") {
        step.kind = Step::Kind::Command;
        return p.text(step.text, true);
    }
    if (keyword == "press") {
        step.kind = Step::Kind::Press;
        return p.word(step.panel, "a panel") && p.word(step.control, "a control") &&
               p.text(step.text, false);
    }
    if (keyword == "dbchange") {
        step.kind = Step::Kind::DatabaseChange;
        return p.number(step.numbers[0], "the device") &&
               p.number(step.numbers[1], "the database") &&
               p.number(step.numbers[2], "the index") && p.equals("the index") &&
               p.text(step.text, false);
    }
    if (keyword == "timer") {
        step.kind = Step::Kind::Timer;
        return p.number(step.numbers[0], "the timer id") && p.end();
    }
    if (keyword == "revertive") {
        step.kind = Step::Kind::Revertive;
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
    if (keyword == "event") {
        step.kind = Step::Kind::Event;
        return p.number(step.numbers[0], "the event type") && p.end();
    }
    step.kind = Step::Kind::Aux;
    return p.text(step.text, false);
}

bool parseExpectation(Parser& p, Expectation& expectation) {
    std::string what;
    if (!p.words.raw(what)) {
        std::string list;
        for (const char* word : ExpectationWords) {
            list += std::string(list.empty() ? "" : ", ") + word;
        }
        return p.fail("expected what to expect: " + list, p.words.column());
    }
    bool known = false;
    for (std::size_t i = 0; i < sizeof ExpectationWords / sizeof *ExpectationWords; ++i) {
        if (what == ExpectationWords[i]) {
            expectation.kind = static_cast<Expectation::Kind>(i);
            known = true;
        }
    }
    if (!known) {
        std::string list;
        for (const char* word : ExpectationWords) {
            list += std::string(list.empty() ? "" : ", ") + word;
        }
        return p.fail("unknown expectation '" + clipped(what) + "'" +
                          suggestion(what, ExpectationWords) + "; the expectations are " + list,
                      p.words.column());
    }
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

const char* stepKeyword(Step::Kind kind) {
    return StepKeywords[static_cast<int>(kind)];
}

const char* expectationKeyword(Expectation::Kind kind) {
    return ExpectationWords[static_cast<int>(kind)];
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
    const int keywordColumn = p.words.column();
    Item item;
    item.line = number;
    item.source = text;
    for (const char* fact : FactKeywords) {
        if (keyword == fact) {
            Fact parsed;
            if (!parseFact(keyword, p, parsed)) {
                return false;
            }
            item.what = parsed;
            out = item;
            return true;
        }
    }
    for (const char* step : StepKeywords) {
        if (keyword == step) {
            Step parsed;
            if (!parseStep(keyword, p, parsed)) {
                return false;
            }
            item.what = parsed;
            out = item;
            return true;
        }
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
    std::string guess = suggestion(keyword, FactKeywords);
    guess = guess.empty() ? suggestion(keyword, StepKeywords) : guess;
    const char* const expect[] = {"expect"};
    guess = guess.empty() ? suggestion(keyword, expect) : guess;
    return p.fail("unknown keyword '" + clipped(keyword) + "'" + guess + "; the keywords are " +
                      keywordList(),
                  keywordColumn);
}

bool parseScenario(const std::string& text, Scenario& out, std::vector<ScenarioError>& errors) {
    out = Scenario();
    errors.clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool stepSeen = false;
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
        out.items.push_back(*item);
    }
    if (!stepSeen && errors.empty()) {
        errors.push_back({0, 0, "holds no step, so nothing would be played or checked"});
    }
    return errors.empty();
}

bool loadScenario(const std::string& path, std::string& text, Scenario& out,
                  std::vector<ScenarioError>& errors) {
    std::string error;
    errors.clear();
    if (!readScenarioInput(path, text, error)) {
        errors.push_back({0, 0, error});
        return false;
    }
    if (!parseScenario(text, out, errors)) {
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
