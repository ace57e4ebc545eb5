// StreamCapture: one standard stream of the process (descriptor 1 or 2) pointed
// at a private file while the object lives, so that what anything in the process
// writes to it, through the C runtime or (on Windows) the system's handle of the
// stream, can be read back. take() returns what was written since the last take
// and costs one look at the file's end when nothing was. On destruction the
// stream goes back where it went and the file is gone (natively it has no name
// from the start, so not even a crash leaves it behind).
#pragma once

#include <cstdio>
#include <string>

class StreamCapture {
public:
    explicit StreamCapture(int fd);
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    // Whether the stream is captured (false when the private file could not be made).
    bool active() const { return m_reader != nullptr; }
    std::string take();

private:
    int m_fd;
    int m_saved = -1;              // the descriptor the stream had before
    std::string m_path;            // the private file (Windows; natively unlinked at once)
    std::FILE* m_reader = nullptr; // reads the file from the last take on
    long long m_read = 0;
};
