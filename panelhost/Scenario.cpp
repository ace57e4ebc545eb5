#include "Scenario.h"

#include "Rules.h"
#include "Text.h"

#include <sstream>

namespace {

// Reads the words of one line; a word that begins with a double quote runs to
// the closing quote and is decoded as a scenario text.
class Words {
public:
    explicit Words(const std::string& line) : m_line(line) {}

    bool next(std::string& out) {
        skipBlanks();
        if (m_at == m_line.size()) {
            return false;
        }
        const std::size_t begin = m_at;
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
        std::string error;
        return decodeText(m_line.substr(begin, m_at - begin), out, error);
    }

    // The rest of the line, trimmed, not decoded.
    std::string rest() {
        skipBlanks();
        const std::string text = trim(m_line.substr(m_at));
        m_at = m_line.size();
        return text;
    }

private:
    void skipBlanks() {
        while (m_at < m_line.size() && isBlank(m_line[m_at])) {
            ++m_at;
        }
    }

    const std::string& m_line;
    std::size_t m_at = 0;
};

struct Parser {
    Words words;
    std::string& error;

    bool fail(const std::string& reason) {
        error = reason;
        return false;
    }

    bool word(std::string& out, const char* what) {
        return words.next(out) || fail(std::string("expected ") + what);
    }

    bool number(int& out, const char* what) {
        std::string text;
        if (!words.next(text) || !parseInt(text, out)) {
            return fail(std::string("expected a number for ") + what);
        }
        return true;
    }

    bool equals() {
        std::string text;
        return (words.next(text) && text == "=") || fail("expected =");
    }

    // The rest as a text; "none" gives null when allowed.
    bool text(std::optional<std::string>& out, bool noneAllowed) {
        const std::string raw = words.rest();
        if (noneAllowed && raw == "none") {
            out.reset();
            return true;
        }
        std::string decoded;
        if (!decodeText(raw, decoded, error)) {
            return false;
        }
        out = decoded;
        return true;
    }

    bool end() { return words.rest().empty() || fail("unexpected text at the end of the line"); }

    bool numbers(std::vector<int>& out, const char* what) {
        const std::string raw = words.rest();
        if (raw == "none") {
            return true;
        }
        std::istringstream list(raw);
        std::string item;
        while (list >> item) {
            int value = 0;
            if (!parseInt(item, value)) {
                return fail(std::string("expected numbers or none for ") + what);
            }
            out.push_back(value);
        }
        return !out.empty() || fail(std::string("expected numbers or none for ") + what);
    }
};

bool parseFact(const std::string& keyword, Parser& p, Fact& fact) {
    if (keyword == "setting") {
        fact.kind = Fact::Kind::Setting;
        return p.word(fact.object, "an object") && p.word(fact.id, "a setting id") && p.equals() &&
               p.text(fact.value, false);
    }
    if (keyword == "name") {
        fact.kind = Fact::Kind::Name;
        return p.number(fact.device, "the device") && p.number(fact.database, "the database") &&
               p.number(fact.index, "the index") && p.equals() && p.text(fact.value, true);
    }
    if (keyword == "instance") {
        fact.kind = Fact::Kind::Instance;
        return p.word(fact.object, "an instance name") && p.equals() && p.text(fact.value, true);
    }
    if (keyword == "control") {
        fact.kind = Fact::Kind::Control;
        return p.word(fact.panel, "a panel") && p.word(fact.control, "a control") &&
               p.word(fact.property, "a property") && p.equals() && p.text(fact.value, false);
    }
    fact.kind = Fact::Kind::Answer;
    const std::string rest = p.words.rest();
    const std::size_t arrow = rest.find("=>");
    if (arrow == std::string::npos) {
        return p.fail("expected answer PREFIX => REPLY");
    }
    if (!decodeText(trim(rest.substr(0, arrow)), fact.object, p.error)) {
        return false;
    }
    if (fact.object.empty()) {
        return p.fail("an answer needs a command prefix");
    }
    const std::string reply = trim(rest.substr(arrow + 2));
    if (reply == "world") {
        fact.backToWorld = true;
        return true;
    }
    if (reply == "none") {
        return true;
    }
    std::string decoded;
    if (!decodeText(reply, decoded, p.error)) {
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
               p.number(step.numbers[2], "the index") && p.equals() && p.text(step.text, false);
    }
    if (keyword == "timer") {
        step.kind = Step::Kind::Timer;
        return p.number(step.numbers[0], "the timer id") && p.end();
    }
    if (keyword == "revertive") {
        step.kind = Step::Kind::Revertive;
        std::string first;
        Words& w = p.words;
        for (int i = 0; i < 3 && w.next(first); ++i) {
            if (!parseInt(first, step.numbers[i])) {
                return p.fail("revertive takes up to three numbers");
            }
        }
        return p.end();
    }
    step.kind = Step::Kind::Aux;
    return p.text(step.text, false);
}

bool parseExpectation(Parser& p, Expectation& expectation) {
    std::string what;
    if (!p.word(what, "what to expect")) {
        return false;
    }
    using Kind = Expectation::Kind;
    const struct {
        const char* word;
        Kind kind;
    } kinds[] = {{"sent", Kind::Sent},     {"event", Kind::Event},       {"debug", Kind::Debug},
                 {"reply", Kind::Reply},   {"property", Kind::Property}, {"routers", Kind::Routers},
                 {"timers", Kind::Timers}, {"breach", Kind::Breach}};
    bool known = false;
    for (const auto& k : kinds) {
        if (what == k.word) {
            expectation.kind = k.kind;
            known = true;
        }
    }
    if (!known) {
        return p.fail("unknown expectation '" + what + "'");
    }
    switch (expectation.kind) {
    case Kind::Property:
        return p.word(expectation.panel, "a panel") && p.word(expectation.control, "a control") &&
               p.word(expectation.property, "a property") && p.equals() &&
               p.text(expectation.text, true);
    case Kind::Routers:
    case Kind::Timers:
        return p.numbers(expectation.numbers, what.c_str());
    case Kind::Breach: {
        if (!p.word(expectation.rule, "a rule id")) {
            return false;
        }
        const RuleInfo* rule = findRule(expectation.rule);
        if (rule == nullptr) {
            return p.fail("no rule " + expectation.rule);
        }
        expectation.rule = rule->id;
        return p.end();
    }
    default:
        return p.text(expectation.text, true);
    }
}

} // namespace

const char* stepKeyword(Step::Kind kind) {
    static const char* const words[] = {"load",  "command",   "press", "dbchange",
                                        "timer", "revertive", "aux",   "destroy"};
    return words[static_cast<int>(kind)];
}

const char* expectationKeyword(Expectation::Kind kind) {
    static const char* const words[] = {"sent",     "event",   "debug",  "reply",
                                        "property", "routers", "timers", "breach"};
    return words[static_cast<int>(kind)];
}

bool parseScenarioLine(const std::string& line, int number, std::optional<Item>& out,
                       std::string& error) {
    out.reset();
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') {
        return true;
    }
    Parser p{Words(text), error};
    std::string keyword;
    p.words.next(keyword);
    Item item;
    item.line = number;
    item.source = text;
    const char* const facts[] = {"setting", "name", "instance", "control", "answer"};
    const char* const steps[] = {"load",  "command",   "press", "dbchange",
                                 "timer", "revertive", "aux",   "destroy"};
    for (const char* fact : facts) {
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
    for (const char* step : steps) {
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
    error = "unknown keyword '" + keyword + "'";
    return false;
}

bool parseScenario(const std::string& text, Scenario& out, std::string& error) {
    out = Scenario();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool stepSeen = false;
    while (std::getline(lines, line)) {
        ++number;
        std::optional<Item> item;
        std::string reason;
        if (!parseScenarioLine(line, number, item, reason)) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        if (!item) {
            continue;
        }
        stepSeen = stepSeen || std::holds_alternative<Step>(item->what);
        if (!stepSeen && std::holds_alternative<Expectation>(item->what)) {
            error = "line " + std::to_string(number) + ": an expectation before any step";
            return false;
        }
        out.items.push_back(*item);
    }
    return true;
}

bool loadScenario(const std::string& path, Scenario& out, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text, error)) {
        return false;
    }
    if (!parseScenario(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
