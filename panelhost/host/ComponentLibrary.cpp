#include "host/ComponentLibrary.h"

#include "host/LibraryKind.h"
#include "language/Text.h"

#if defined(_WIN32)
#include "ImportCheck.h"

#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

const char* const FactoryName = "load_tarn_client_script";

// Why `path` was not loaded: what it is against what this program is, when the
// two differ, else the loader's own reason.
std::string whyNotLoaded(const std::string& path, std::string reason) {
    const LibraryKind kind = libraryKindOf(path);
    const LibraryKind program = thisProgramKind();
    if (kind.known() && !(kind == program)) {
        return "cannot load " + printable(path) + ": it is " + kind.described() +
               ", and this panelhost is a " + std::to_string(program.bits) + "-bit " +
               program.system + " program (" + program.machine +
               "); use the panelhost built for the library";
    }
    // A loader message may hold a placeholder for the file that it never fills.
    for (std::size_t at = reason.find("%1"); at != std::string::npos;
         at = reason.find("%1", at + path.size())) {
        reason.replace(at, 2, path);
    }
    return "cannot load " + printable(path) + ": " + printable(reason);
}

#if defined(_WIN32)
std::string lastError() {
    char* text = nullptr;
    const DWORD code = GetLastError();
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text != nullptr ? text : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

// What the Windows loader would refuse, found before loading: a library for
// another machine, or imports that do not resolve, which Wine binds to stubs that
// crash only when called. Empty when neither.
std::string whyNotLoadable(const std::string& path, const std::string& full) {
    const LibraryKind kind = libraryKindOf(full);
    if (!kind.known()) {
        return std::string(); // the loader says what the file is
    }
    if (!(kind == thisProgramKind())) {
        return whyNotLoaded(path, std::string());
    }
    const ImportCheckResult check = checkImports(full, systemDllFolders());
    if (check.ok()) {
        return std::string();
    }
    std::string lines = "cannot load " + printable(path) + ":";
    for (const std::string& problem : check.problems()) {
        lines += "\n  " + printable(problem);
    }
    return lines;
}
#endif

} // namespace

std::string ComponentLibrary::loaderPath(const std::string& path) {
    // A path without a folder names the file in the current folder, as the user
    // meant; the loaders would otherwise search their own paths for it.
#if defined(_WIN32)
    const std::string here = path.find_first_of("/\\") == std::string::npos ? ".\\" + path : path;
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(here.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : here;
#else
    return path.find_first_of("/\\") == std::string::npos ? "./" + path : path;
#endif
}

std::unique_ptr<ComponentLibrary> ComponentLibrary::open(const std::string& path,
                                                         std::string& error, bool* importsRefused) {
    std::unique_ptr<ComponentLibrary> library(new ComponentLibrary());
    if (importsRefused != nullptr) {
        *importsRefused = false;
    }
    // A library of this program's kind that the loader refuses: its imports.
    const auto importsFailed = [&] {
        if (importsRefused != nullptr) {
            *importsRefused = libraryKindOf(loaderPath(path)) == thisProgramKind();
        }
    };
#if defined(_WIN32)
    // The loader looks in the component's own folder first, as the import
    // check looks.
    const std::string full = loaderPath(path);
    error = whyNotLoadable(path, full);
    if (!error.empty()) {
        importsFailed();
        return nullptr;
    }
    HMODULE module = LoadLibraryExA(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        error = whyNotLoaded(path, lastError());
        importsFailed();
        return nullptr;
    }
    library->m_handle = module;
    FARPROC symbol = GetProcAddress(module, FactoryName);
    // The factory's type is known; the loader's generic function type is not it.
    library->m_factory =
        reinterpret_cast<load_tarn_client_script_fn>(reinterpret_cast<void (*)()>(symbol));
#else
    void* handle = dlopen(loaderPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = whyNotLoaded(path, reason != nullptr ? reason : "unknown error");
        importsFailed();
        return nullptr;
    }
    library->m_handle = handle;
    library->m_factory = reinterpret_cast<load_tarn_client_script_fn>(dlsym(handle, FactoryName));
#endif
    if (library->m_factory == nullptr) {
        error = printable(path) + " has no export " + FactoryName;
        return nullptr;
    }
    return library;
}

ComponentLibrary::~ComponentLibrary() {
    if (m_handle == nullptr) {
        return;
    }
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(m_handle));
#else
    dlclose(m_handle);
#endif
}
