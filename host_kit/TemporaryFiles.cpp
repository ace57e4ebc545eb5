#include "TemporaryFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

std::string temporaryFolder(std::string& error) {
    std::string named;
    const std::string folder = platformTemporaryFolder(named);
    std::error_code status;
    if (folder.empty()) {
        error = named + ": the system names none";
    } else if (!std::filesystem::is_directory(folder, status)) {
        error = named + (std::filesystem::exists(folder, status) ? ": it is no folder"
                                                                 : ": there is no such folder");
    } else {
        // A folder that takes no new file (read-only, full) will not do either.
        const std::string probe = freshName(folder, "quillon-probe");
        errno = 0;
        if (std::FILE* file = std::fopen(probe.c_str(), "wb")) {
            std::fclose(file);
            std::remove(probe.c_str());
            return folder;
        }
        error = named + ": it takes no new file (" +
                (errno != 0 ? std::strerror(errno) : "the system gave no reason") + ")";
    }
    return std::string();
}

std::string freshName(const std::string& folder, const std::string& stem) {
    static std::atomic<unsigned> counter(0);
    std::random_device device;
    char tail[32];
    std::snprintf(tail, sizeof tail, "-%010u-%06u", static_cast<unsigned>(device()),
                  (counter++) % 1000000U);
    const std::string name = stem + tail;
    return folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}
