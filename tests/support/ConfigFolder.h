// ConfigFolder: a real configuration root for a test, made in the temporary
// folder and named in TARN_CONFIG_DIR while the object lives. Files are written
// as given, so the tests exercise the real configuration reader.
#pragma once

#include "Environment.h"

#include <string>

class ConfigFolder {
public:
    ConfigFolder();
    ~ConfigFolder();
    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

    // Writes (replaces) <root>/<name> with `contents`.
    void write(const std::string& name, const std::string& contents) const;
    const std::string& root() const { return m_root; }

private:
    std::string m_root;
};
