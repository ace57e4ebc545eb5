#include "StreamCapture.h"

#include "TemporaryFiles.h"

namespace {

const char* streamName(int fd) {
    return fd == 1 ? "standard output" : "standard error";
}

std::FILE* cStream(int fd) {
    return fd == 1 ? stdout : stderr;
}

} // namespace

StreamCapture::StreamCapture(int fd) : m_fd(fd) {
    std::string error;
    const std::string folder = temporaryFolder(error);
    if (folder.empty()) {
        m_problem = std::string("panelhost cannot make its private file for ") + streamName(fd) +
                    ": it has no usable temporary folder (" + error + ")";
        return;
    }
    m_path = freshName(folder, std::string("panelhost-") + (fd == 1 ? "stdout" : "stderr"));
    std::fflush(stdout);
    std::fflush(stderr);
    redirect();
    if (m_reader == nullptr) {
        m_problem = std::string("panelhost cannot make its private file for ") + streamName(fd) +
                    " in the temporary folder";
    }
    std::clearerr(cStream(fd));
}

StreamCapture::~StreamCapture() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_reader != nullptr) {
        std::fclose(m_reader);
    }
    restore();
}

std::string StreamCapture::take() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_reader != nullptr && std::ferror(cStream(m_fd)) != 0 && m_problem.empty()) {
        // The C runtime could not write to the private file: its end is lost.
        m_problem = std::string("a write to panelhost's private file for ") + streamName(m_fd) +
                    " failed (a full disk or a file-size limit)";
    }
    if (m_reader == nullptr || writtenSoFar() <= m_read) {
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
