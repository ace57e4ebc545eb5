#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
int reportFd = 2;
}

std::string LineReader::next() {
    if (done()) {
        return std::string();
    }
    const char* begin = m_data + m_position;
    const void* end = std::memchr(begin, '\n', m_size - m_position);
    const std::size_t length =
        end == nullptr ? m_size - m_position
                       : static_cast<std::size_t>(static_cast<const char*>(end) - begin);
    m_position += length + 1;
    return std::string(begin, length);
}

std::string LineReader::rest() {
    if (done()) {
        return std::string();
    }
    std::string text(m_data + m_position, m_size - m_position);
    m_position = m_size;
    return text;
}

std::string cText(const std::string& text) {
    return std::string(text.c_str());
}

long long numberIn(const std::string& text, long long low, long long high, long long fallback) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) {
        ++i;
    }
    if (i >= text.size() || text[i] < '0' || text[i] > '9') {
        return fallback;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000000000000LL) {
            break; // far outside any range asked for
        }
    }
    value = negative ? -value : value;
    return value < low ? low : value > high ? high : value;
}

void keepErrorOutput() {
    const int fd = dup(2);
    if (fd >= 0) {
        reportFd = fd;
    }
}

void fuzzFailure(const char* what, const std::string& detail) {
    std::string message = std::string("fuzz check failed: ") + what;
    if (!detail.empty()) {
        message += ": " + detail;
    }
    message += "\n";
    const ssize_t written = write(reportFd, message.data(), message.size());
    (void)written;
    std::abort();
}
