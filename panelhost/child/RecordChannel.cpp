#include "child/RecordChannel.h"

#include "output/RecordJson.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {
// A segment is closed and the next begun once it holds this much.
const long SegmentSize = 4L << 20;
} // namespace

RecordWriter::~RecordWriter() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool RecordWriter::write(const Record& record) {
    if (m_file == nullptr || m_written >= SegmentSize) {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
        ++m_segment;
        m_written = 0;
        errno = 0;
        m_file = std::fopen((m_path + "." + std::to_string(m_segment)).c_str(), "wb");
        if (m_file == nullptr) {
            m_error = errno != 0 ? errno : EIO;
            return false;
        }
    }
    const std::string line = recordToJson(record) + "\n";
    m_written += static_cast<long>(line.size());
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() ||
        std::fflush(m_file) != 0) {
        m_error = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

RecordReader::~RecordReader() {
    std::error_code ignored;
    for (int number = m_segment; std::filesystem::exists(segment(number), ignored); ++number) {
        std::filesystem::remove(segment(number), ignored);
    }
}

std::string RecordReader::segment(int number) const {
    return m_path + "." + std::to_string(number);
}

void RecordReader::poll(const std::function<void(const Record&)>& onRecord) {
    for (;;) {
        // Whether the child has moved on is known before reading, so that what
        // is read afterwards is the whole of this segment.
        std::error_code ignored;
        const bool closed = std::filesystem::exists(segment(m_segment + 1), ignored);
        // Opened afresh on every poll: a C stream that once met the end of a
        // growing file need not see more of it.
        std::FILE* file = std::fopen(segment(m_segment).c_str(), "rb");
        if (file == nullptr) {
            return;
        }
        if (std::fseek(file, m_offset, SEEK_SET) == 0) {
            char buffer[65536];
            std::size_t count = 0;
            while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
                m_pending.append(buffer, count);
                m_offset += static_cast<long>(count);
            }
        }
        std::fclose(file);
        std::size_t begin = 0;
        for (std::size_t newline = m_pending.find('\n'); newline != std::string::npos;
             newline = m_pending.find('\n', begin)) {
            Record record;
            if (recordFromJson(m_pending.substr(begin, newline - begin), record)) {
                onRecord(record);
            }
            begin = newline + 1;
        }
        m_pending.erase(0, begin);
        if (!closed) {
            return;
        }
        std::filesystem::remove(segment(m_segment), ignored);
        ++m_segment;
        m_offset = 0;
        m_pending.clear();
    }
}
