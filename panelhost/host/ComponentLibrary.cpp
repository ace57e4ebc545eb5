#include "host/ComponentLibrary.h"

#include "LoadCheck.h"
#include "language/Text.h"

namespace {

const char* const FactoryName = "load_tarn_client_script";

// A library of another kind than this program: which is which.
std::string otherKind(const std::string& path, const LibraryKind& kind) {
    const LibraryKind program = thisProgramKind();
    return "cannot load " + printable(path) + ": it is " + kind.described() +
           ", and this panelhost is a " + std::to_string(program.bits) + "-bit " + program.system +
           " program (" + program.machine + "); use the panelhost built for the library";
}

// The loader's own reason for not loading `path`.
std::string refused(const std::string& path, std::string reason) {
    // A loader message may hold a placeholder for the file that it never fills.
    for (std::size_t at = reason.find("%1"); at != std::string::npos;
         at = reason.find("%1", at + path.size())) {
        reason.replace(at, 2, path);
    }
    return "cannot load " + printable(path) + ": " + printable(reason);
}

} // namespace

std::unique_ptr<ComponentLibrary> ComponentLibrary::open(const std::string& path,
                                                         std::string& error, bool* importsRefused) {
    bool refusedImports = false;
    std::unique_ptr<ComponentLibrary> library = [&]() -> std::unique_ptr<ComponentLibrary> {
        // The loader looks in the component's own folder first, as the import
        // check looks.
        const std::string file = loaderPath(path);
        const LoadVerdict verdict = checkLoadable(file);
        if (verdict.outcome == LoadVerdict::Outcome::OtherKind) {
            error = otherKind(path, verdict.kind);
            return nullptr;
        }
        if (verdict.outcome == LoadVerdict::Outcome::Unresolved) {
            error = "cannot load " + printable(path) + ":";
            for (const std::string& problem : verdict.imports.problems()) {
                error += "\n  " + printable(problem);
            }
            refusedImports = true;
            return nullptr;
        }
        std::string reason;
        void* handle = loadFile(file, reason);
        if (handle == nullptr) {
            error = refused(path, reason);
            // A library of this program's kind that the loader refuses: its imports.
            refusedImports = verdict.kind.known();
            return nullptr;
        }
        std::unique_ptr<ComponentLibrary> loaded(new ComponentLibrary());
        loaded->m_handle = handle;
        loaded->m_factory = factoryOf(handle, FactoryName);
        if (loaded->m_factory == nullptr) {
            error = printable(path) + " has no export " + FactoryName;
            return nullptr;
        }
        return loaded;
    }();
    if (importsRefused != nullptr) {
        *importsRefused = refusedImports;
    }
    return library;
}

ComponentLibrary::~ComponentLibrary() {
    if (m_handle != nullptr) {
        unload(m_handle);
    }
}
