// The live mode, the parent's side. The opening scenario is read and parsed
// first (every error reported, and nothing served unless all of it parses; it
// may hold no step, only a world), the port is bound, and the component is
// asked what it takes in a supervised run of its own ("_commands", whose
// answer the page offers as parent commands), so that a library that cannot be
// played is refused before anything is served. Then the page's address is
// printed and the session (LiveSession) is played on this thread while the web
// server answers the page on another, each record shown in the transcript as
// it comes. Ctrl-C (or SIGTERM) or the page's Quit ends the component, the
// server and the process.
#pragma once

#include "cli/Settings.h"

// Exit status 0, 1 or 2.
int runLive(const LiveSettings& settings);
