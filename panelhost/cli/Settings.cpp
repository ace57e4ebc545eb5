#include "cli/Settings.h"

#include <cctype>

std::string defaultUiFolder(const std::string& library) {
    const std::size_t slash = library.find_last_of("/\\");
    return slash == std::string::npos ? std::string("ui") : library.substr(0, slash) + "/ui";
}

std::string defaultStarterFolder(const std::string& name) {
    std::string folder = name;
    for (char& c : folder) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folder;
}
