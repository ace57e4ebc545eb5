#include "StreamCapture.h"

#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

// Writers that ask the system for the stream's handle (WriteFile) meet the same
// file as the C runtime's.
void pointSystemHandle(int fd) {
    SetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                 reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}

} // namespace

void StreamCapture::redirect() {
    const int file =
        _open(m_path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file < 0) {
        return;
    }
    m_reader = std::fopen(m_path.c_str(), "rb");
    if (m_reader == nullptr) {
        _close(file);
        return;
    }
    m_saved = _dup(m_fd);
    _dup2(file, m_fd);
    _close(file);
    pointSystemHandle(m_fd);
}

void StreamCapture::restore() {
    if (m_saved >= 0) {
        _dup2(m_saved, m_fd);
        _close(m_saved);
        pointSystemHandle(m_fd);
    }
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

long long StreamCapture::writtenSoFar() const {
    return _lseeki64(m_fd, 0, SEEK_CUR);
}
