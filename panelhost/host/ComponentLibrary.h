// ComponentLibrary: a component library loaded with the platform loader
// (dlopen/dlsym, LoadLibraryA/GetProcAddress) and its factory resolved by the
// plain name load_tarn_client_script. A path without a folder is the file in
// the current folder. Before the loader sees it, the file is checked as
// LoadCheck checks it (its kind; on Windows its imports), so that a refusal says
// why in the project's words. The library stays loaded while the object lives
// (or, once kept, until the process ends).
#pragma once

#include "load_tarn_client_script.h"

#include <memory>
#include <string>

class ComponentLibrary {
public:
    // Null with a one-line reason when the library cannot be loaded or has no
    // factory export. `importsRefused` (when given) says whether the library is
    // one of this program's kind whose imports the loader could not bind (or,
    // on Windows, that the static import check refused).
    static std::unique_ptr<ComponentLibrary> open(const std::string& path, std::string& error,
                                                  bool* importsRefused = nullptr);
    // The file the platform loader is given for `path`: a path without a folder
    // is the file in the current folder; on Windows the full path, loaded so
    // that the loader searches the component's own folder first.
    static std::string loaderPath(const std::string& path);
    ~ComponentLibrary();
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    load_tarn_client_script_fn factory() const { return m_factory; }
    // The library stays loaded until the process ends: threads of it still run,
    // and unloading it under them would crash the host's own end.
    void keepLoaded() { m_handle = nullptr; }

private:
    ComponentLibrary() = default;
    // The platform loader's part (ComponentLibrary_posix/_win32): loads `file`,
    // null with the loader's reason; the factory's address; unloads.
    static void* loadFile(const std::string& file, std::string& reason);
    static load_tarn_client_script_fn factoryOf(void* handle, const char* name);
    static void unload(void* handle);

    void* m_handle = nullptr;
    load_tarn_client_script_fn m_factory = nullptr;
};
