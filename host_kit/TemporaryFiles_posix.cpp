#include "TemporaryFiles.h"

#include <cstdlib>

std::string platformTemporaryFolder(std::string& named) {
    const char* set = std::getenv("TMPDIR");
    if (set == nullptr || *set == '\0') {
        named = "/tmp, TMPDIR unset";
        return "/tmp";
    }
    named = std::string("TMPDIR=") + set;
    return set;
}
