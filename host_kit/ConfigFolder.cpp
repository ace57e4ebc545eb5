#include "ConfigFolder.h"

#include "Environment.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

ConfigFolder::ConfigFolder() {
    std::random_device seed;
    char name[32];
    for (int attempt = 0;; ++attempt) {
        std::snprintf(name, sizeof name, "quillon-config-%010u", static_cast<unsigned>(seed()));
        const std::filesystem::path root = std::filesystem::temp_directory_path() / name;
        std::error_code error;
        if (std::filesystem::create_directory(root, error) || attempt == 100) {
            m_root = root.string();
            break;
        }
    }
    setEnvironmentVariable("TARN_CONFIG_DIR", m_root.c_str());
}

ConfigFolder::~ConfigFolder() {
    setEnvironmentVariable("TARN_CONFIG_DIR", nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

bool ConfigFolder::write(const std::string& name, const std::string& contents) const {
    std::ofstream file(std::filesystem::path(m_root) / name, std::ios::binary | std::ios::trunc);
    file << contents;
    file.close();
    return !file.fail();
}

bool ConfigFolder::setObjectSetting(const std::string& object, const std::string& id,
                                    const std::string& value) {
    auto section = m_objects.begin();
    while (section != m_objects.end() && section->first != object) {
        ++section;
    }
    if (section == m_objects.end()) {
        m_objects.emplace_back(object, std::vector<std::pair<std::string, std::string>>());
        section = m_objects.end() - 1;
    }
    bool replaced = false;
    for (auto& entry : section->second) {
        if (entry.first == id) {
            entry.second = value;
            replaced = true;
        }
    }
    if (!replaced) {
        section->second.emplace_back(id, value);
    }
    std::string contents;
    for (const auto& each : m_objects) {
        contents += "[" + each.first + "]\n";
        for (const auto& entry : each.second) {
            contents += entry.first + " = " + entry.second + "\n";
        }
    }
    return write("object_settings.ini", contents);
}
