#include "ObjectSettingsFolder.h"

#include "Environment.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

ObjectSettingsFolder::ObjectSettingsFolder() {
    std::random_device device;
    const auto salt = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() /
        ("panelhost-config-" + std::to_string(device()) + "-" + std::to_string(salt % 1000000));
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    m_root = root.string();
    setEnvironmentVariable("TARN_CONFIG_DIR", m_root.c_str());
    write();
}

ObjectSettingsFolder::~ObjectSettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void ObjectSettingsFolder::set(const std::string& object, const std::string& id,
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
    write();
}

void ObjectSettingsFolder::write() const {
    std::ofstream file(std::filesystem::path(m_root) / "object_settings.ini",
                       std::ios::binary | std::ios::trunc);
    for (const auto& section : m_objects) {
        file << "[" << section.first << "]\n";
        for (const auto& entry : section.second) {
            file << entry.first << " = " << entry.second << "\n";
        }
    }
}
