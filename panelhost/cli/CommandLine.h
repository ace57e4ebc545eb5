// The command line of panelhost: one table of modes and one of options, from
// which the parser, the help text and the command lines made from settings
// come. Each option names its settings field (the modes that take it are those
// whose settings have it), its type and bounds; its default is the field's
// (Settings.h). Options may stand anywhere, before or after the mode word
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

// The command line that asks for `settings`: the mode, its arguments, and each
// of `options` (in that order) that has a value (a flag that is on, a text or
// list that is not empty), as a person would type it again.
std::string commandLine(const Settings& settings, const std::vector<const char*>& options);

// The usage lines (for a usage error), and the whole of --help.
std::string usageText();
std::string helpText();
