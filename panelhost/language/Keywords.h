// Keywords: every keyword of the scenario language in one table each for world
// facts, steps and expectations, and the parent's relays, in the order of the
// kinds they make (asserted where the tables are made); and the one word that
// addresses a line to every child. A step says how many numbers it carries; an
// expectation whether the lines of its kind after one step are gathered and
// judged together (sent, event and debug as one list each, breach as one set
// of breaches) or each alone.
#pragma once

#include "language/Scenario.h"

#include <string>

struct FactWord {
    Fact::Kind kind;
    const char* word;
};

struct RelayWord {
    Fact::Relay kind;
    const char* word;
};

struct StepWord {
    Step::Kind kind;
    const char* word;
    int numbers; // how many numbers it carries: dbchange, timer, revertive, event
};

struct ExpectationWord {
    Expectation::Kind kind;
    const char* word;
    bool gathered; // its lines after one step are judged together
};

// "every: STEP" plays the step for each child; no child may be named so.
const char* const EveryChild = "every";

const FactWord& factWord(Fact::Kind kind);
const RelayWord& relayWord(Fact::Relay relay);
const RelayWord* findRelayWord(const std::string& word);
// "every, others, none".
std::string relayList();
const StepWord& stepWord(Step::Kind kind);
const ExpectationWord& expectationWord(Expectation::Kind kind);
// The keyword `word` names, or null.
const FactWord* findFactWord(const std::string& word);
const StepWord* findStepWord(const std::string& word);
const ExpectationWord* findExpectationWord(const std::string& word);

// "setting, name, ..., destroy, event, expect": every keyword a line begins with.
std::string keywordList();
// "sent, event, ..., breach": every expectation.
std::string expectationList();
// " (did you mean 'x'?)" for a word one or two edits from a keyword a line
// begins with (or, with `expectations`, from an expectation); empty otherwise.
std::string keywordSuggestion(const std::string& word, bool expectations);

// Step and expectation kinds by name, as records carry them.
inline const char* nameOf(Step::Kind kind) {
    return stepWord(kind).word;
}
inline const char* nameOf(Expectation::Kind kind) {
    return expectationWord(kind).word;
}
bool valueOf(const std::string& name, Step::Kind& kind);
bool valueOf(const std::string& name, Expectation::Kind& kind);
