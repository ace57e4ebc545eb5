#include "output/DiskFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

bool flushToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

bool replaceFile(const std::string& from, const std::string& to, std::string& reason) {
    // rename() replaces the target in one step: a reader sees the old file or the new.
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    reason = std::strerror(errno);
    return false;
}

bool replaceable(const std::string&, std::string&) {
    return true; // rename() takes the folder's leave, not the target's
}
