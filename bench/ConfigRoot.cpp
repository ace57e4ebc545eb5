#include "ConfigRoot.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

ConfigRoot::ConfigRoot() {
    char folder[] = "/tmp/quillon-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    m_root = folder;
    m_file = m_root + "/object_settings.ini";
    std::FILE* file = std::fopen(m_file.c_str(), "wb");
    if (file == nullptr) {
        std::perror(m_file.c_str());
        std::exit(1);
    }
    std::fputs("[pkg]\npackage_levels = 2\ndriver_ids = 10,20,30,40\n", file);
    std::fclose(file);
    setenv("TARN_CONFIG_DIR", m_root.c_str(), 1);
}

ConfigRoot::~ConfigRoot() {
    unsetenv("TARN_CONFIG_DIR");
    std::remove(m_file.c_str());
    rmdir(m_root.c_str());
}
