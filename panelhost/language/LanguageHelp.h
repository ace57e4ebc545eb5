// The scenario language in brief, for a person typing lines at a terminal
// session ("help"). The README's scenario section is the full description.
#pragma once

const char* languageHelp();
