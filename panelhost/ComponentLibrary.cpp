#include "ComponentLibrary.h"

#if defined(_WIN32)
#include "ImportCheck.h"
#include "PeImage.h"

#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

const char* const FactoryName = "load_tarn_client_script";

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

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

// What the Windows loader would refuse, found before loading: under Wine an
// import that does not resolve is bound to a stub that crashes only when called,
// and a DLL for the other width fails with a message that names neither.
bool loadable(const std::string& path, std::string& error) {
    if (!PeImage::looksLikePe(path)) {
        return true; // the loader says what it is
    }
    PeImage image;
    if (!PeImage::read(path, image, error)) {
        return false;
    }
    const PeImage::Machine own =
        sizeof(void*) == 8 ? PeImage::Machine::Amd64 : PeImage::Machine::I386;
    if (image.machine != own) {
        PeImage self;
        self.machine = own;
        error = "it is an " + image.machineName() + " DLL, and this panelhost.exe is " +
                self.machineName() + "; use the panelhost.exe built for " + image.machineName();
        return false;
    }
    const ImportCheckResult check = checkImports(path, systemDllFolders());
    error = check.describe();
    return check.ok();
}
#endif

} // namespace

std::unique_ptr<ComponentLibrary> ComponentLibrary::open(const std::string& path,
                                                         std::string& error) {
    std::unique_ptr<ComponentLibrary> library(new ComponentLibrary());
#if defined(_WIN32)
    // Loaded by its full path with the loader looking in the component's own
    // folder first, as the import check looks.
    const std::string full = fullPath(path);
    if (!loadable(full, error)) {
        error = "cannot load " + path + ":\n" + error;
        return nullptr;
    }
    HMODULE module = LoadLibraryExA(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        error = "cannot load " + path + ": " + lastError();
        return nullptr;
    }
    library->m_handle = module;
    FARPROC symbol = GetProcAddress(module, FactoryName);
    // The factory's type is known; the loader's generic function type is not it.
    library->m_factory =
        reinterpret_cast<load_tarn_client_script_fn>(reinterpret_cast<void (*)()>(symbol));
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error");
        return nullptr;
    }
    library->m_handle = handle;
    library->m_factory = reinterpret_cast<load_tarn_client_script_fn>(dlsym(handle, FactoryName));
#endif
    if (library->m_factory == nullptr) {
        error = path + " has no export " + FactoryName;
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
