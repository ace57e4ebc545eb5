// The starter: `panelhost new NAME [DIR]` writes a small working component folder
// (its source on the frame, its UI layout, a scenario that plays it, and a
// CMakeLists.txt that builds it on the installed kit and registers the scenario
// and validate as tests), from the templates in the project's starter/ folder with
// the name filled in. It never writes into a folder that holds anything.
#pragma once

#include "cli/Settings.h"

#include <string>

// Whether `name` can name the component's class: a C++ identifier of letters,
// digits and underscores, not beginning with a digit, at most 64 characters, and
// not a C++ keyword. False with the reason.
bool validComponentName(const std::string& name, std::string& reason);
// Writes the starter; exit status 0, or 2 with the reason on standard error.
int runNew(const NewSettings& settings);
