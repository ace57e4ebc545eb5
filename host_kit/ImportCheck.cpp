#include "ImportCheck.h"

#include "Demangle.h"
#include "PeImage.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool exists(const std::string& path) {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

// API sets (api-ms-win-..., ext-ms-...) are names the loader maps to system DLLs,
// not files.
bool isApiSet(const std::string& dll) {
    const std::string name = lower(dll);
    return name.compare(0, 7, "api-ms-") == 0 || name.compare(0, 7, "ext-ms-") == 0;
}

// Where the loader finds `dll`: its path, and whether it lies in the component's
// own folder; empty when it is nowhere.
std::string locate(const std::string& dll, const std::string& componentFolder,
                   const std::vector<std::string>& systemFolders, bool& local) {
    local = exists(componentFolder + "/" + dll);
    if (local) {
        return componentFolder + "/" + dll;
    }
    for (const std::string& folder : systemFolders) {
        if (exists(folder + "/" + dll)) {
            return folder + "/" + dll;
        }
    }
    return std::string();
}

} // namespace

std::vector<std::string> ImportCheckResult::problems() const {
    std::vector<std::string> lines;
    if (!error.empty()) {
        lines.push_back(error);
    }
    for (const std::string& dll : missingDlls) {
        lines.push_back("DLL not found: " + dll);
    }
    for (const MissingImport& import : missing) {
        std::string line = "unresolved import: " + import.readable;
        if (import.readable != import.function) {
            line += " (" + import.function + ")";
        }
        lines.push_back(line + ", which " + import.dll + " does not export");
    }
    return lines;
}

std::string ImportCheckResult::describe() const {
    std::string text;
    for (const std::string& line : problems()) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

ImportCheckResult checkImports(const std::string& component,
                               const std::vector<std::string>& systemFolders) {
    ImportCheckResult result;
    const std::string componentFolder = folderOf(component);
    std::vector<std::string> pending = {component};
    std::set<std::string> seen = {lower(component)};
    while (!pending.empty()) {
        const std::string file = pending.back();
        pending.pop_back();
        PeImage image;
        if (!PeImage::read(file, image, result.error)) {
            return result;
        }
        for (const PeImage::ImportedDll& imported : image.imports) {
            if (isApiSet(imported.dll)) {
                continue;
            }
            bool local = false;
            const std::string where = locate(imported.dll, componentFolder, systemFolders, local);
            if (where.empty()) {
                result.missingDlls.push_back(imported.dll + " (imported by " + file + ")");
                continue;
            }
            PeImage provider;
            if (!PeImage::read(where, provider, result.error)) {
                return result;
            }
            ++result.dlls;
            for (const PeImage::Import& function : imported.functions) {
                const bool found = function.name.empty() ? provider.exportsOrdinal(function.ordinal)
                                                         : provider.exports(function.name);
                if (found) {
                    ++result.functions;
                } else {
                    const std::string name = function.name.empty()
                                                 ? "#" + std::to_string(function.ordinal)
                                                 : function.name;
                    result.missing.push_back({imported.dll, name, demangle(name), file});
                }
            }
            // The framework beside the component is checked in turn; the system's
            // own DLLs are the system's business.
            if (local && seen.insert(lower(where)).second) {
                pending.push_back(where);
            }
        }
    }
    return result;
}

std::vector<std::string> systemDllFolders() {
#if defined(_WIN32)
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return {std::string(folder, length)};
    }
#endif
    return {};
}
