#include "ConfigFolder.h"

#include "Environment.h"
#include "TemporaryFiles.h"

#include <filesystem>
#include <fstream>

ConfigFolder::ConfigFolder() {
    std::string error;
    const std::string folder = temporaryFolder(error);
    if (folder.empty()) {
        m_problem = "there is no usable temporary folder (" + error + ")";
        return;
    }
    for (int attempt = 0; m_root.empty(); ++attempt) {
        const std::string root = freshName(folder, "quillon-config");
        std::error_code made;
        if (std::filesystem::create_directory(root, made)) {
            m_root = root;
        } else if (attempt == 100) {
            m_problem =
                "a configuration folder cannot be made in " + folder + " (" + made.message() + ")";
            return;
        }
    }
    setEnvironmentVariable("TARN_CONFIG_DIR", m_root.c_str());
}

ConfigFolder::~ConfigFolder() {
    if (m_root.empty()) {
        return;
    }
    setEnvironmentVariable("TARN_CONFIG_DIR", nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

bool ConfigFolder::write(const std::string& name, const std::string& contents) const {
    if (m_root.empty()) {
        return false;
    }
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
