#include "host/ComponentLibrary.h"

#include <windows.h>

namespace {

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

} // namespace

std::string ComponentLibrary::loaderPath(const std::string& path) {
    // A path without a folder names the file in the current folder, as the user
    // meant; the full path makes the loader search the component's own folder
    // first.
    const std::string here = path.find_first_of("/\\") == std::string::npos ? ".\\" + path : path;
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(here.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : here;
}

void* ComponentLibrary::loadFile(const std::string& file, std::string& reason) {
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        reason = lastError();
    }
    return module;
}

load_tarn_client_script_fn ComponentLibrary::factoryOf(void* handle, const char* name) {
    FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle), name);
    // The factory's type is known; the loader's generic function type is not it.
    return reinterpret_cast<load_tarn_client_script_fn>(reinterpret_cast<void (*)()>(symbol));
}

void ComponentLibrary::unload(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
