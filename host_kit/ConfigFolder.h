// ConfigFolder: the one temporary configuration folder of our hosts. It is made
// in the temporary folder and named in TARN_CONFIG_DIR while the object lives, so
// the component's real configuration reader reads what is written here. Its name
// has a fixed length, so repeated runs do the same work. A folder that could not
// be made says why (problem()), and nothing is written then.
#pragma once

#include <string>
#include <utility>
#include <vector>

class ConfigFolder {
public:
    ConfigFolder();
    ~ConfigFolder(); // removes the folder and unsets TARN_CONFIG_DIR
    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

    // Writes (replaces) <root>/<name> with `contents`, as given; false when the
    // file could not be written whole (a full disk, a file-size limit).
    bool write(const std::string& name, const std::string& contents) const;
    // Sets one object setting of a package object (added after the object's
    // others), rewriting object_settings.ini, so the component's next read sees
    // it; false as write.
    bool setObjectSetting(const std::string& object, const std::string& id,
                          const std::string& value);
    const std::string& root() const { return m_root; }
    // Why there is no folder, in words; empty when there is one.
    const std::string& problem() const { return m_problem; }

private:
    std::string m_root;
    std::string m_problem;
    // object, then its settings in the order they were first given
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> m_objects;
};
