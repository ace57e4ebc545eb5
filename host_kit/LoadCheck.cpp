#include "LoadCheck.h"

#include "Demangle.h"
#include "PeImage.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

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

std::string machineName(unsigned number) {
    return "machine " + std::to_string(number);
}

// An ELF file's machine: 3 is i386, 62 x86-64.
std::string elfMachine(unsigned number) {
    return number == 3 ? "i686" : number == 62 ? "x86-64" : machineName(number);
}

} // namespace

std::string LibraryKind::described() const {
    return "a " + std::to_string(bits) + "-bit " + system + " library (" + machine + ")";
}

LibraryKind libraryKindOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> head(4096);
    file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    LibraryKind kind;
    if (head.size() >= 20 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' &&
        head[3] == 'F' && (head[4] == 1 || head[4] == 2)) {
        kind.system = "Linux";
        kind.bits = head[4] == 1 ? 32 : 64;
        kind.machine = elfMachine(static_cast<unsigned>(head[18] | head[19] << 8));
        return kind;
    }
    PeImage image;
    std::string error;
    if (PeImage::parseHeader(head, image, error)) {
        kind.system = "Windows";
        kind.bits = image.wide ? 64 : 32;
        kind.machine = image.machine == PeImage::Machine::I386    ? "i686"
                       : image.machine == PeImage::Machine::Amd64 ? "x86-64"
                                                                  : machineName(image.machineCode);
    }
    return kind;
}

LibraryKind thisProgramKind() {
    LibraryKind kind;
    kind.system = thisSystem();
    kind.bits = static_cast<int>(sizeof(void*) * 8);
    kind.machine = kind.bits == 64 ? "x86-64" : "i686";
    return kind;
}

bool importsCheckedStatically() {
    return std::string(thisSystem()) == "Windows";
}

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

LoadVerdict checkLoadable(const std::string& path) {
    LoadVerdict verdict;
    verdict.kind = libraryKindOf(path);
    const LibraryKind program = thisProgramKind();
    if (!verdict.kind.known()) {
        return verdict; // the loader says what the file is
    }
    if (!(verdict.kind == program)) {
        verdict.outcome = LoadVerdict::Outcome::OtherKind;
        return verdict;
    }
    if (!importsCheckedStatically()) {
        return verdict; // the loader binds every symbol at load
    }
    verdict.imports = checkImports(path, systemDllFolders());
    verdict.outcome =
        verdict.imports.ok() ? LoadVerdict::Outcome::Resolved : LoadVerdict::Outcome::Unresolved;
    return verdict;
}
