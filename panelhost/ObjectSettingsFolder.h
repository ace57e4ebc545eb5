// ObjectSettingsFolder: the framework configuration that the component reads its
// package objects' settings from. The folder is made in the temporary folder and
// named in TARN_CONFIG_DIR while the object lives; every change of a setting
// rewrites <folder>/object_settings.ini, one [object] section of "id = value"
// lines, so the component's next read sees it.
#pragma once

#include <string>
#include <utility>
#include <vector>

class ObjectSettingsFolder {
public:
    ObjectSettingsFolder();
    ~ObjectSettingsFolder();
    ObjectSettingsFolder(const ObjectSettingsFolder&) = delete;
    ObjectSettingsFolder& operator=(const ObjectSettingsFolder&) = delete;

    // Sets (or adds, after the object's other settings) one setting.
    void set(const std::string& object, const std::string& id, const std::string& value);
    const std::string& root() const { return m_root; }

private:
    void write() const;

    std::string m_root;
    // object, then its settings in the order they were first given
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> m_objects;
};
