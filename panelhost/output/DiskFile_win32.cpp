#include "output/DiskFile.h"

#include <io.h>
#include <windows.h>

bool flushToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

bool replaceable(const std::string& to, std::string& reason) {
    const DWORD attributes = GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        reason = "it is read-only, and the system puts no file in place of a read-only one";
        return false;
    }
    return true;
}

bool replaceFile(const std::string& from, const std::string& to, std::string& reason) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
        0) {
        return true;
    }
    reason = "the system refused to put it in place of " + to + " (error " +
             std::to_string(GetLastError()) + ")";
    return false;
}
