#include "host/OutputTap.h"

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

std::string privateFile(const char* stream) {
    static std::atomic<unsigned> counter(0);
#if defined(_WIN32)
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    const std::string name = std::string("panelhost-") + stream + "-" + std::to_string(process) +
                             "-" + std::to_string(counter++);
    return (std::filesystem::temp_directory_path() / name).string();
}

long long writtenSoFar(int fd) {
#if defined(_WIN32)
    return _lseeki64(fd, 0, SEEK_CUR);
#else
    return static_cast<long long>(lseek(fd, 0, SEEK_CUR));
#endif
}

} // namespace

OutputTap::OutputTap() {
    std::fflush(stdout);
    std::fflush(stderr);
#if defined(_WIN32)
    m_streams.resize(2);
    tap(m_streams[0], 1, "stdout");
    tap(m_streams[1], 2, "stderr");
#else
    m_streams.resize(1);
    tap(m_streams[0], 1, "stdout");
#endif
}

void OutputTap::tap(Tapped& tapped, int fd, const char* name) {
    tapped.fd = fd;
    tapped.name = name;
    tapped.path = privateFile(name);
#if defined(_WIN32)
    const int file = _open(tapped.path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                           _S_IREAD | _S_IWRITE);
    if (file < 0) {
        return;
    }
    tapped.saved = _dup(fd);
    _dup2(file, fd);
    _close(file);
    // Writers that ask the system for the handle (WriteFile) meet the file too.
    SetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                 reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
#else
    const int file = open(tapped.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0) {
        return;
    }
    tapped.saved = dup(fd);
    dup2(file, fd);
    close(file);
#endif
    tapped.reader = std::fopen(tapped.path.c_str(), "rb");
}

OutputTap::~OutputTap() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (Tapped& tapped : m_streams) {
        if (tapped.reader != nullptr) {
            std::fclose(tapped.reader);
        }
        if (tapped.saved >= 0) {
#if defined(_WIN32)
            _dup2(tapped.saved, tapped.fd);
            _close(tapped.saved);
            SetStdHandle(tapped.fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                         reinterpret_cast<HANDLE>(_get_osfhandle(tapped.fd)));
#else
            dup2(tapped.saved, tapped.fd);
            close(tapped.saved);
#endif
        }
        std::error_code ignored;
        std::filesystem::remove(tapped.path, ignored);
    }
}

std::vector<OutputTap::Text> OutputTap::take() {
    std::vector<Text> out;
    std::fflush(stdout);
    std::fflush(stderr);
    for (Tapped& tapped : m_streams) {
        if (tapped.reader == nullptr || writtenSoFar(tapped.fd) <= tapped.read) {
            continue;
        }
        std::clearerr(tapped.reader);
        std::fseek(tapped.reader, static_cast<long>(tapped.read), SEEK_SET);
        std::string text;
        char buffer[4096];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, tapped.reader)) > 0) {
            text.append(buffer, count);
        }
        tapped.read += static_cast<long long>(text.size());
        if (!text.empty()) {
            out.push_back({tapped.name, text});
        }
    }
    return out;
}
