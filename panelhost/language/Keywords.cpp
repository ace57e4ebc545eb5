#include "language/Keywords.h"

#include "language/Text.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr FactWord Facts[] = {{Fact::Kind::Setting, "setting"},   {Fact::Kind::Name, "name"},
                              {Fact::Kind::Instance, "instance"}, {Fact::Kind::Control, "control"},
                              {Fact::Kind::Answer, "answer"},     {Fact::Kind::Child, "child"},
                              {Fact::Kind::Parent, "parent"}};

constexpr RelayWord Relays[] = {
    {Fact::Relay::Every, "every"}, {Fact::Relay::Others, "others"}, {Fact::Relay::Stop, "none"}};

constexpr StepWord Steps[] = {
    {Step::Kind::Load, "load", 0},   {Step::Kind::Command, "command", 0},
    {Step::Kind::Press, "press", 0}, {Step::Kind::DatabaseChange, "dbchange", 3},
    {Step::Kind::Timer, "timer", 1}, {Step::Kind::Revertive, "revertive", 3},
    {Step::Kind::Aux, "aux", 0},     {Step::Kind::Destroy, "destroy", 0},
    {Step::Kind::Event, "event", 1}};

constexpr ExpectationWord Expectations[] = {{Expectation::Kind::Sent, "sent", true},
                                            {Expectation::Kind::Event, "event", true},
                                            {Expectation::Kind::Debug, "debug", true},
                                            {Expectation::Kind::Reply, "reply", false},
                                            {Expectation::Kind::Property, "property", false},
                                            {Expectation::Kind::Routers, "routers", false},
                                            {Expectation::Kind::Timers, "timers", false},
                                            {Expectation::Kind::Breach, "breach", true}};

// Each table holds every kind of its enum once, at the kind's place.
template <class Word, std::size_t N> constexpr bool inOrder(const Word (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(words[i].kind) != i) {
            return false;
        }
    }
    return true;
}
static_assert(std::size(Facts) == static_cast<std::size_t>(Fact::Kind::Parent) + 1 &&
                  inOrder(Facts),
              "a keyword for every fact kind, in order");
static_assert(std::size(Relays) == static_cast<std::size_t>(Fact::Relay::Stop) + 1 &&
                  inOrder(Relays),
              "a word for every relay, in order");
static_assert(std::size(Steps) == static_cast<std::size_t>(Step::Kind::Event) + 1 && inOrder(Steps),
              "a keyword for every step kind, in order");
static_assert(std::size(Expectations) == static_cast<std::size_t>(Expectation::Kind::Breach) + 1 &&
                  inOrder(Expectations),
              "a keyword for every expectation kind, in order");

template <class Word, std::size_t N>
const Word* find(const Word (&words)[N], const std::string& word) {
    for (const Word& each : words) {
        if (word == each.word) {
            return &each;
        }
    }
    return nullptr;
}

// Every word a line may begin with, or every expectation, in the order of
// their tables.
std::vector<const char*> words(bool expectations) {
    std::vector<const char*> out;
    const auto add = [&out](const auto& table) {
        for (const auto& each : table) {
            out.push_back(each.word);
        }
    };
    if (expectations) {
        add(Expectations);
        return out;
    }
    add(Facts);
    add(Steps);
    out.push_back("expect");
    return out;
}

std::string listed(bool expectations) {
    std::string out;
    for (const char* word : words(expectations)) {
        out += std::string(out.empty() ? "" : ", ") + word;
    }
    return out;
}

} // namespace

const FactWord& factWord(Fact::Kind kind) {
    return Facts[static_cast<std::size_t>(kind)];
}

const RelayWord& relayWord(Fact::Relay relay) {
    return Relays[static_cast<std::size_t>(relay)];
}

const RelayWord* findRelayWord(const std::string& word) {
    return find(Relays, word);
}

std::string relayList() {
    std::string out;
    for (const RelayWord& each : Relays) {
        out += std::string(out.empty() ? "" : ", ") + each.word;
    }
    return out;
}

const StepWord& stepWord(Step::Kind kind) {
    return Steps[static_cast<std::size_t>(kind)];
}

const ExpectationWord& expectationWord(Expectation::Kind kind) {
    return Expectations[static_cast<std::size_t>(kind)];
}

const FactWord* findFactWord(const std::string& word) {
    return find(Facts, word);
}

const StepWord* findStepWord(const std::string& word) {
    return find(Steps, word);
}

const ExpectationWord* findExpectationWord(const std::string& word) {
    return find(Expectations, word);
}

std::string keywordList() {
    return listed(false);
}

std::string expectationList() {
    return listed(true);
}

std::string keywordSuggestion(const std::string& word, bool expectations) {
    for (const char* candidate : words(expectations)) {
        if (editDistance(word, candidate) <= 2) {
            return std::string(" (did you mean '") + candidate + "'?)";
        }
    }
    return "";
}

bool valueOf(const std::string& name, Step::Kind& kind) {
    const StepWord* word = findStepWord(name);
    kind = word != nullptr ? word->kind : kind;
    return word != nullptr;
}

bool valueOf(const std::string& name, Expectation::Kind& kind) {
    const ExpectationWord* word = findExpectationWord(name);
    kind = word != nullptr ? word->kind : kind;
    return word != nullptr;
}
