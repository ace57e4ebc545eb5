// ConfigRoot: a configuration root for the benchmarks, made in the temporary
// folder with the package object "pkg" (two levels, drivers 10,20,30,40) and named
// in TARN_CONFIG_DIR while the object lives. The folder's name has a fixed length,
// so repeated runs do the same work.
#pragma once

#include <string>

class ConfigRoot {
public:
    ConfigRoot();
    ~ConfigRoot();
    ConfigRoot(const ConfigRoot&) = delete;
    ConfigRoot& operator=(const ConfigRoot&) = delete;

    // The file that holds the object settings.
    const std::string& settingsFile() const { return m_file; }

private:
    std::string m_root;
    std::string m_file;
};
