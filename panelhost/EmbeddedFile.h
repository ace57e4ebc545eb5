// EmbeddedFile: a file of the project built into panelhost as text, so that an
// installed panelhost needs nothing beside it to write what it writes: the
// starter's templates (panelhost new), the page template (--html) and the
// live page's script. CMake makes
// the arrays below from the files (panelhost/CMakeLists.txt, embed_files).
#pragma once

#include <string>

struct EmbeddedFile {
    const char* name;
    const char* const* pieces; // the text in order, ended by a null
};

// The whole text of `file`.
std::string embeddedText(const EmbeddedFile& file);

// The starter, each file under the name it is written as: @NAME@ stands for the
// component's class name and @name@ for that name in lower case.
extern const EmbeddedFile starterFiles[];
extern const int starterFilesCount;
// The page of --html, as output/report.html holds it.
extern const EmbeddedFile pageTemplateFiles[];
extern const int pageTemplateFilesCount;
// The live page's own script, as live/live.js holds it.
extern const EmbeddedFile liveScriptFiles[];
extern const int liveScriptFilesCount;
