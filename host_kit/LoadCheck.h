// LoadCheck: whether a library can load in this program, found from its file
// before anything loads it. First what the file is built for (an ELF or PE
// file, 32 or 64 bits, the machine): a library of another kind than this
// program cannot load, and saying which is which beats the loader's message.
// Then, for a Windows DLL, its imports: the Windows loader refuses a DLL that
// imports a function the DLL it names does not export, or that names a DLL it
// cannot find; Wine instead binds such an import to a stub that crashes only
// when called, so under Wine only this static check tells. The DLLs are looked
// up as the loader looks for a DLL loaded by its full path: the component's own
// folder first, then the system's. The DLLs found in the component's folder are
// checked in turn (the framework's own imports); system DLLs and the API-set
// names are taken as the system provides them. Elsewhere the loader's own
// binding of every symbol at load (RTLD_NOW) is the check.
#pragma once

#include <string>
#include <vector>

struct LibraryKind {
    std::string system; // "Linux" (ELF) or "Windows" (PE); empty when neither
    int bits = 0;
    std::string machine; // "i686", "x86-64" or the machine number

    bool known() const { return !system.empty(); }
    // "a 64-bit Windows library (x86-64)".
    std::string described() const;
    bool operator==(const LibraryKind& other) const {
        return system == other.system && bits == other.bits && machine == other.machine;
    }
};

// The kind of the file at `path`; unknown (empty system) for anything else.
LibraryKind libraryKindOf(const std::string& path);
// What this program is, to set against a library.
LibraryKind thisProgramKind();
// The system this program runs on, named as LibraryKind names it.
const char* thisSystem();
// Whether a library's imports are checked here from its files (Windows), not
// by the loader as it loads the library.
bool importsCheckedStatically();

struct MissingImport {
    std::string dll;      // the DLL the import names
    std::string function; // its decorated name, or "#N" for an ordinal
    std::string readable; // demangled, as a person reads it
    std::string importer; // the file that imports it
};

struct ImportCheckResult {
    std::vector<MissingImport> missing;   // imports that no export satisfies
    std::vector<std::string> missingDlls; // "dll (imported by file)" found nowhere
    std::string error;                    // a file that is not a readable PE image
    int dlls = 0;                         // imported DLLs found and read
    int functions = 0;                    // imported functions that resolve
    bool ok() const { return missing.empty() && missingDlls.empty() && error.empty(); }
    // What went wrong, one line per problem, for a load failure.
    std::vector<std::string> problems() const;
    // The same lines joined with line feeds.
    std::string describe() const;
};

// Checks `component` against the DLLs of its own folder, then of
// `systemFolders` in order.
ImportCheckResult checkImports(const std::string& component,
                               const std::vector<std::string>& systemFolders);
// The system's folder of DLLs as this process's loader sees it (Windows); none
// elsewhere.
std::vector<std::string> systemDllFolders();

// Whether the library file `path` (as the loader is given it) can load here.
struct LoadVerdict {
    enum class Outcome {
        LeftToLoader, // nothing found against it: a file of no known kind, or a
                      // library whose imports only the loader checks (natively)
        OtherKind,    // built for another system, width or machine than this program
        Unresolved,   // a DLL of this program's kind whose imports do not resolve
        Resolved,     // a DLL of this program's kind whose imports all resolve
    };
    Outcome outcome = Outcome::LeftToLoader;
    LibraryKind kind;          // what the file is
    ImportCheckResult imports; // Unresolved, Resolved: the static check
};
LoadVerdict checkLoadable(const std::string& path);
