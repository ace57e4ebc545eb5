#include "modes/ImportsCheck.h"

#include "language/Text.h"

#if defined(_WIN32)
#include "ImportCheck.h"
#include "host/ComponentLibrary.h"
#include "host/LibraryKind.h"
#endif

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& each : splitLines(text)) {
        const std::string line = trim(each);
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace

ImportsVerdict checkImportsStatically(const std::string& library) {
    ImportsVerdict verdict;
#if defined(_WIN32)
    const std::string file = ComponentLibrary::loaderPath(library);
    if (!(libraryKindOf(file) == thisProgramKind())) {
        verdict.summary = "left to the loader: not a DLL of this panelhost's kind";
        return verdict;
    }
    const ImportCheckResult check = checkImports(file, systemDllFolders());
    if (!check.ok()) {
        verdict.failed = true;
        verdict.summary = "imports that do not resolve, found before loading";
        verdict.lines = check.problems();
        return verdict;
    }
    verdict.summary = std::to_string(check.functions) + " imported functions of " +
                      std::to_string(check.dlls) + " DLLs found, before loading";
#else
    (void)library;
    verdict.summary = "the loader bound every symbol at load (RTLD_NOW)";
#endif
    return verdict;
}

ImportsVerdict importsRefusedByLoader(const std::string& message) {
    ImportsVerdict verdict;
    verdict.failed = true;
    verdict.summary = "the loader refused the library";
    verdict.lines = linesOf(printable(message));
    return verdict;
}
