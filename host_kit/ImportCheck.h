// ImportCheck: whether a Windows component would load, found without loading it.
// The Windows loader refuses a DLL that imports a function the DLL it names does
// not export, or that names a DLL it cannot find; Wine instead binds such an
// import to a stub that crashes only when called, so under Wine only this static
// check tells. The DLLs are looked up as the loader looks for a DLL loaded by its
// full path: the component's own folder first, then the system's. The DLLs found
// in the component's folder are checked in turn (the framework's own imports);
// system DLLs and the API-set names are taken as the system provides them.
#pragma once

#include <string>
#include <vector>

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
