#include "ConfigFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

ConfigFolder::ConfigFolder() {
    std::random_device seed;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("quillon-config-" + std::to_string(seed()));
    std::filesystem::create_directories(root);
    m_root = root.string();
    setEnvironmentVariable("TARN_CONFIG_DIR", m_root.c_str());
}

ConfigFolder::~ConfigFolder() {
    setEnvironmentVariable("TARN_CONFIG_DIR", nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void ConfigFolder::write(const std::string& name, const std::string& contents) const {
    std::ofstream file(std::filesystem::path(m_root) / name, std::ios::binary | std::ios::trunc);
    file << contents;
}
