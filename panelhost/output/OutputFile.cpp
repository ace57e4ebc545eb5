#include "output/OutputFile.h"

#include <cstdio>
#include <filesystem>

bool checkWritable(const std::string& path, std::string& reason) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        reason = "it is a folder";
        return false;
    }
    const bool existed = std::filesystem::exists(path, ignored);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        reason = "it cannot be created";
        return false;
    }
    std::fclose(file);
    if (!existed) {
        std::filesystem::remove(path, ignored);
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
