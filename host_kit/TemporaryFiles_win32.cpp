#include "TemporaryFiles.h"

#include <windows.h>

#include <cstdlib>

std::string platformTemporaryFolder(std::string& named) {
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    const std::string found = length > 0 && length <= MAX_PATH ? std::string(folder, length) : "";
    // The system takes TMP, then TEMP, then the user's own folder.
    named = found;
    for (const char* variable : {"TMP", "TEMP"}) {
        const char* set = std::getenv(variable);
        if (set != nullptr && *set != '\0') {
            named = std::string(variable) + "=" + set;
            break;
        }
    }
    if (named.empty()) {
        named = "TMP and TEMP unset";
    }
    return found;
}
