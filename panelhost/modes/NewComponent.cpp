#include "modes/NewComponent.h"

#include "EmbeddedFile.h"
#include "child/Process.h"
#include "output/OutputFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// The words a class may not be named, so the starter always compiles.
const char* const Keywords[] = {
    "alignas", "alignof",  "and",       "asm",      "auto",      "bool",     "break",    "case",
    "catch",   "char",     "class",     "const",    "constexpr", "continue", "decltype", "default",
    "delete",  "do",       "double",    "else",     "enum",      "explicit", "export",   "extern",
    "false",   "float",    "for",       "friend",   "goto",      "if",       "inline",   "int",
    "long",    "mutable",  "namespace", "new",      "noexcept",  "not",      "nullptr",  "operator",
    "or",      "private",  "protected", "public",   "register",  "return",   "short",    "signed",
    "sizeof",  "static",   "struct",    "switch",   "template",  "this",     "throw",    "true",
    "try",     "typedef",  "typeid",    "typename", "union",     "unsigned", "using",    "virtual",
    "void",    "volatile", "while",     "xor",
};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The prefix of the installed kit that this panelhost belongs to: the running
// program is PREFIX/bin/panelhost beside the kit's CMake package. Empty when it
// runs from a build tree, or where the system does not name the running
// program; the starter then names the prefix as a placeholder.
std::string kitPrefix() {
    namespace fs = std::filesystem;
    const std::string running = thisProgramPath();
    if (running.empty()) {
        return std::string();
    }
    std::error_code error;
    const fs::path prefix = fs::path(running).parent_path().parent_path();
    return fs::is_regular_file(prefix / TARN_KIT_PACKAGE_DIR / "TarnKitConfig.cmake", error)
               ? prefix.generic_string()
               : std::string();
}

std::string filled(std::string text, const std::string& name, const std::string& kit) {
    const std::string lower = lowered(name);
    for (const auto& marker :
         {std::make_pair(std::string("@NAME@"), name), std::make_pair(std::string("@name@"), lower),
          std::make_pair(std::string("@KIT@"), kit)}) {
        for (std::size_t at = text.find(marker.first); at != std::string::npos;
             at = text.find(marker.first, at + marker.second.size())) {
            text.replace(at, marker.first.size(), marker.second);
        }
    }
    return text;
}

int refuse(const std::string& reason) {
    std::fprintf(stderr, "panelhost new: %s\n", reason.c_str());
    return 2;
}

} // namespace

bool validComponentName(const std::string& name, std::string& reason) {
    const bool identifier =
        !name.empty() && name.size() <= 64 && !std::isdigit(static_cast<unsigned char>(name[0])) &&
        std::all_of(name.begin(), name.end(),
                    [](unsigned char c) { return std::isalnum(c) || c == '_'; });
    if (!identifier) {
        reason = "'" + name +
                 "' cannot name a component: use letters, digits and underscores, "
                 "not beginning with a digit, at most 64 characters (say, Beacon)";
        return false;
    }
    for (const char* keyword : Keywords) {
        if (name == keyword) {
            reason = "'" + name + "' is a C++ keyword and cannot name the component's class";
            return false;
        }
    }
    return true;
}

int runNew(const NewSettings& settings) {
    std::string reason;
    if (!validComponentName(settings.name, reason)) {
        return refuse(reason);
    }
    namespace fs = std::filesystem;
    const fs::path folder = settings.folder;
    std::error_code error;
    // The outermost folder this run makes, removed again when a file fails.
    fs::path made;
    for (fs::path up = folder; !up.empty() && !fs::exists(up, error); up = up.parent_path()) {
        made = up;
        if (up == up.parent_path()) {
            break;
        }
    }
    if (made.empty()) {
        if (!fs::is_directory(folder, error)) {
            return refuse(settings.folder + " is a file, not a folder; nothing was written");
        }
        if (!fs::is_empty(folder, error)) {
            return refuse(settings.folder +
                          " is not empty; the starter goes only into a new or empty folder, so "
                          "nothing of yours is overwritten");
        }
    } else if (!fs::create_directories(folder, error)) {
        return refuse("cannot make " + settings.folder + ": " + error.message());
    }
    // Each file is written whole; when one cannot be, those before it go too,
    // so that the folder is left as it was found.
    std::vector<fs::path> written;
    const std::string found = kitPrefix();
    const std::string kit = found.empty() ? "<the kit's prefix>" : found;
    for (int i = 0; i < starterFilesCount; ++i) {
        const fs::path path = folder / filled(starterFiles[i].name, settings.name, kit);
        const std::string text = filled(embeddedText(starterFiles[i]), settings.name, kit);
        if (!writeWholeFile(path.string(), text, reason)) {
            for (const fs::path& done : written) {
                fs::remove(done, error);
            }
            if (!made.empty()) {
                fs::remove_all(made, error);
            }
            return refuse("cannot write " + path.generic_string() + ": " + reason +
                          "; nothing was written");
        }
        written.push_back(path);
    }
    for (const fs::path& path : written) {
        std::printf("wrote %s\n", path.generic_string().c_str());
    }
    const char* const folderText = settings.folder.c_str();
    std::printf("\nBuild it on the installed kit and run its tests (the scenario, and panelhost "
                "validate):\n"
                "    cmake -S %s -B %s/build -DCMAKE_PREFIX_PATH=%s\n"
                "    cmake --build %s/build\n"
                "    ctest --test-dir %s/build --output-on-failure\n",
                folderText, folderText, kit.c_str(), folderText, folderText);
    return 0;
}
