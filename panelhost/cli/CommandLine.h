// The command line of panelhost: one table of modes and one of options, each
// option listing the modes that take it, from which both the parser and the
// help text are made. Options may stand anywhere, before or after the mode word
// and the arguments, as "--name value" or "--name=value"; "--" ends them. An
// unknown option, an option that the mode does not take, an option given twice,
// a missing or empty value, a number out of its range (the message says the
// range), and a selection that leaves no validation check to run are usage
// errors that name the option.
#pragma once

#include "cli/Settings.h"

#include <string>
#include <vector>

struct CommandLine {
    Settings settings;
    bool json = false; // --json was given: a usage error is reported as a record too
};

// False with a one-line reason for a command line that makes no sense.
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& out,
                      std::string& error);

// The usage lines (for a usage error), and the whole of --help.
std::string usageText();
std::string helpText();
