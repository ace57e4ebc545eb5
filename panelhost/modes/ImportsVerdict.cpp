#include "modes/ImportsVerdict.h"

#include "LoadCheck.h"
#include "host/ComponentLibrary.h"
#include "language/Text.h"

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
    if (!importsCheckedStatically()) {
        verdict.summary = "the loader bound every symbol at load (RTLD_NOW)";
        return verdict;
    }
    const LoadVerdict load = checkLoadable(ComponentLibrary::loaderPath(library));
    switch (load.outcome) {
    case LoadVerdict::Outcome::Unresolved:
        verdict.failed = true;
        verdict.summary = "imports that do not resolve, found before loading";
        verdict.lines = load.imports.problems();
        break;
    case LoadVerdict::Outcome::Resolved:
        verdict.summary = std::to_string(load.imports.functions) + " imported functions of " +
                          std::to_string(load.imports.dlls) + " DLLs found, before loading";
        break;
    default:
        verdict.summary = "left to the loader: not a DLL of this panelhost's kind";
        break;
    }
    return verdict;
}

ImportsVerdict importsRefusedByLoader(const std::string& message) {
    ImportsVerdict verdict;
    verdict.failed = true;
    verdict.summary = "the loader refused the library";
    verdict.lines = linesOf(printable(message));
    return verdict;
}
