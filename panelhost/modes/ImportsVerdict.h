// ImportsVerdict: validate's first check, whether the library's imports
// resolve. Where imports are checked from the files (Windows, host_kit's
// LoadCheck: Wine would bind a missing import to a stub that crashes only when
// called) they are checked before anything loads the library; natively the
// loader's own binding of every symbol at load (dlopen with RTLD_NOW) is the
// check, made by the first child that loads the library.
#pragma once

#include <string>
#include <vector>

struct ImportsVerdict {
    bool failed = false;
    std::string summary;
    std::vector<std::string> lines; // every missing import or DLL, one a line
};

// Windows: the static check of `library` (a file of another kind is left to
// the loader, which says what it is). Elsewhere: what the loader will check.
ImportsVerdict checkImportsStatically(const std::string& library);
// The loader refused the library's imports, saying `message`.
ImportsVerdict importsRefusedByLoader(const std::string& message);
