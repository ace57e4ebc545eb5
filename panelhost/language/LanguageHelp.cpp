#include "language/LanguageHelp.h"

const char* languageHelp() {
    return "Type scenario lines; each takes effect at once, and an expectation is checked as\n"
           "soon as it is entered (a sent or event line against the next entry of the step).\n"
           "  world facts: setting OBJECT ID = TEXT | name DEVICE DATABASE INDEX = TEXT\n"
           "               instance NAME = TEXT | control PANEL CONTROL PROPERTY = TEXT\n"
           "               answer PREFIX => TEXT|none|world\n"
           "  children:    child NAME (before the first step), then NAME: before each step,\n"
           "               every: for each child, NAME: before an expectation of another's\n"
           "  the parent:  parent PREFIX => every|others [NEW PREFIX] | parent PREFIX => none\n"
           "  steps:       load | command TEXT | press PANEL CONTROL [TEXT] | timer ID\n"
           "               dbchange DEVICE DATABASE INDEX = TEXT | aux [TEXT]\n"
           "               revertive [DEVICE DEST SOURCE] | event TYPE | destroy\n"
           "  expect:      sent | event | debug | reply TEXT|none, property PANEL CONTROL PROP =\n"
           "               TEXT, routers N.., timers N.., breach RULE\n"
           "  TEXT:        the rest of the line, or \"quoted\" with \\n \\t \\r \\\\ \\\" \\xHH\n"
           "  show         the panels, the registered routers and the running timers\n"
           "  help, ?      this text\n"
           "  quit, exit   destroy the component and end with the summary\n";
}
