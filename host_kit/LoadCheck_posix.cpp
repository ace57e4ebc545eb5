#include "LoadCheck.h"

const char* thisSystem() {
    return "Linux";
}

std::vector<std::string> systemDllFolders() {
    return {};
}
