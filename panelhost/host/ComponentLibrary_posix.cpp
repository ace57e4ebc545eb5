#include "host/ComponentLibrary.h"

#include <dlfcn.h>

std::string ComponentLibrary::loaderPath(const std::string& path) {
    // A path without a folder names the file in the current folder, as the user
    // meant; the loader would otherwise search its own paths for it.
    return path.find_first_of("/\\") == std::string::npos ? "./" + path : path;
}

void* ComponentLibrary::loadFile(const std::string& file, std::string& reason) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        reason = why != nullptr ? why : "unknown error";
    }
    return handle;
}

load_tarn_client_script_fn ComponentLibrary::factoryOf(void* handle, const char* name) {
    return reinterpret_cast<load_tarn_client_script_fn>(dlsym(handle, name));
}

void ComponentLibrary::unload(void* handle) {
    dlclose(handle);
}
