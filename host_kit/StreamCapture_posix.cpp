#include "StreamCapture.h"

#include <fcntl.h>
#include <unistd.h>

void StreamCapture::redirect() {
    const int file = open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0) {
        return;
    }
    m_reader = std::fopen(m_path.c_str(), "rb");
    unlink(m_path.c_str());
    if (m_reader == nullptr) {
        close(file);
        return;
    }
    m_saved = dup(m_fd);
    dup2(file, m_fd);
    close(file);
}

void StreamCapture::restore() {
    if (m_saved >= 0) {
        dup2(m_saved, m_fd);
        close(m_saved);
    }
}

long long StreamCapture::writtenSoFar() const {
    return static_cast<long long>(lseek(m_fd, 0, SEEK_CUR));
}
