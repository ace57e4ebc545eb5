// The host's reading of a command text: a code of two capital letters, then
// arguments each after exactly one space, texts in single quotes and numbers
// bare. parseCommand splits a text that way and reports every way in which it
// breaks the form, including arguments that do not fit the code's template;
// even a malformed text yields the best reading it allows, so the world can
// still act on it.
#pragma once

#include "Rules.h"

#include <string>
#include <vector>

struct CommandArgument {
    bool quoted = false;
    std::string text;
};

struct ParsedCommand {
    std::string code; // the first two characters, whatever they are
    std::vector<CommandArgument> arguments;

    // The argument at `i` as text (quoted or not); empty when it is missing.
    std::string text(std::size_t i) const;
    // The argument at `i` read as a bare decimal number; false when it is none.
    bool number(std::size_t i, int& out) const;
};

// Parses `text`; the findings carry the rule and what is wrong, in the order
// found (the command field is left empty for the caller to fill).
std::vector<Finding> parseCommand(const std::string& text, ParsedCommand& out);
