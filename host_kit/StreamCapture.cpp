#include "StreamCapture.h"

#include <atomic>
#include <filesystem>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::string privateFile(int fd) {
    static std::atomic<unsigned> counter(0);
#if defined(_WIN32)
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    const std::string name = "panelhost-" + std::string(fd == 1 ? "stdout" : "stderr") + "-" +
                             std::to_string(process) + "-" + std::to_string(counter++);
    return (std::filesystem::temp_directory_path() / name).string();
}

long long writtenSoFar(int fd) {
#if defined(_WIN32)
    return _lseeki64(fd, 0, SEEK_CUR);
#else
    return static_cast<long long>(lseek(fd, 0, SEEK_CUR));
#endif
}

#if defined(_WIN32)
// Writers that ask the system for the stream's handle (WriteFile) meet the same
// file as the C runtime's.
void pointSystemHandle(int fd) {
    SetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                 reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}
#endif

} // namespace

StreamCapture::StreamCapture(int fd) : m_fd(fd), m_path(privateFile(fd)) {
    std::fflush(stdout);
    std::fflush(stderr);
#if defined(_WIN32)
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
    m_saved = _dup(fd);
    _dup2(file, fd);
    _close(file);
    pointSystemHandle(fd);
#else
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
    m_saved = dup(fd);
    dup2(file, fd);
    close(file);
#endif
}

StreamCapture::~StreamCapture() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_reader != nullptr) {
        std::fclose(m_reader);
    }
    if (m_saved >= 0) {
#if defined(_WIN32)
        _dup2(m_saved, m_fd);
        _close(m_saved);
        pointSystemHandle(m_fd);
#else
        dup2(m_saved, m_fd);
        close(m_saved);
#endif
    }
#if defined(_WIN32)
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
#endif
}

std::string StreamCapture::take() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_reader == nullptr || writtenSoFar(m_fd) <= m_read) {
        return std::string();
    }
    std::clearerr(m_reader);
    std::fseek(m_reader, static_cast<long>(m_read), SEEK_SET);
    std::string text;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, m_reader)) > 0) {
        text.append(buffer, count);
    }
    m_read += static_cast<long long>(text.size());
    return text;
}
