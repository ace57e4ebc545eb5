#include "host/ComponentLibrary.h"

#if defined(_WIN32)
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
#endif

} // namespace

std::unique_ptr<ComponentLibrary> ComponentLibrary::open(const std::string& path,
                                                         std::string& error) {
    std::unique_ptr<ComponentLibrary> library(new ComponentLibrary());
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path.c_str());
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
