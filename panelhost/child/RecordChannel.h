// RecordChannel: how the supervised child hands its records to the watching
// parent, as JSON lines in files, so that everything written before a crash is
// still there. The child writes segments PATH.0, PATH.1, ... of a few megabytes
// each, flushing every record; the parent reads each segment as it grows and
// deletes it once the next one exists, so a long run uses little disk.
#pragma once

#include "records/Records.h"

#include <cstdio>
#include <functional>
#include <string>

class RecordWriter {
public:
    explicit RecordWriter(const std::string& path) : m_path(path) {}
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Appends one record and flushes it; false when it could not be written.
    bool write(const Record& record);
    // The error number of the write that failed; 0 before one did.
    int error() const { return m_error; }

private:
    std::string m_path;
    std::FILE* m_file = nullptr;
    int m_segment = -1;
    long m_written = 0;
    int m_error = 0;
};

class RecordReader {
public:
    explicit RecordReader(const std::string& path) : m_path(path) {}
    ~RecordReader(); // deletes what is left of the segments

    // Hands every complete record written since the last poll to `onRecord`.
    void poll(const std::function<void(const Record&)>& onRecord);

private:
    std::string segment(int number) const;

    std::string m_path;
    int m_segment = 0;
    long m_offset = 0;
    std::string m_pending; // bytes read after the last complete line
};
