#include "output/OutputFile.h"

#include "TemporaryFiles.h"
#include "output/DiskFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// A fresh name beside `path`, in the same folder so that it can take the
// target's place in one step.
std::string besideName(const std::string& path) {
    const std::filesystem::path target(path);
    return freshName(target.parent_path().string(), target.filename().string() + ".partial");
}

std::string lastError() {
    return errno != 0 ? std::strerror(errno) : "the system gave no reason";
}

} // namespace

bool checkWritable(const std::string& path, std::string& reason) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        reason = "it is a folder";
        return false;
    }
    // The file is written beside its target and then takes its place: the
    // folder must take a new file, and the target must be one that can be
    // replaced; whether the target itself opens for writing does not matter.
    const std::string probe = besideName(path);
    errno = 0;
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        reason = "its folder takes no new file (" + lastError() + ")";
        return false;
    }
    std::fclose(file);
    std::filesystem::remove(probe, ignored);
    return replaceable(path, reason);
}

bool writeWholeFile(const std::string& path, const std::string& text, std::string& reason) {
    namespace fs = std::filesystem;
    const std::string partial = besideName(path);
    errno = 0;
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) {
        reason = "cannot make a file beside it (" + lastError() + ")";
        return false;
    }
    errno = 0;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                   std::fflush(file) == 0 && flushToDisk(file);
    if (!written) {
        reason = lastError();
    }
    errno = 0;
    if (std::fclose(file) != 0 && written) {
        written = false;
        reason = lastError();
    }
    std::error_code ignored;
    if (written) {
        // A file that was there keeps its permissions.
        const fs::file_status old = fs::status(path, ignored);
        if (fs::exists(old)) {
            fs::permissions(partial, old.permissions(), ignored);
        }
        written = replaceFile(partial, path, reason);
    }
    if (!written) {
        fs::remove(partial, ignored);
    }
    return written;
}

std::string cannotWrite(const std::string& what, const std::string& path,
                        const std::string& reason) {
    return "cannot write " + what + " to " + path + ": " + reason +
           "; any file there was left as it was";
}
