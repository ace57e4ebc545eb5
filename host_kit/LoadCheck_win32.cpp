#include "LoadCheck.h"

#include <windows.h>

const char* thisSystem() {
    return "Windows";
}

std::vector<std::string> systemDllFolders() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return {std::string(folder, length)};
    }
    return {};
}
