// StreamCapture: one standard stream of the process (descriptor 1 or 2) pointed
// at a private file while the object lives, so that what anything in the process
// writes to it, through the C runtime or (on Windows) the system's handle of the
// stream, can be read back. take() returns what was written since the last take
// and costs one look at the file's end when nothing was. On destruction the
// stream goes back where it went and the file is gone (natively it has no name
// from the start, so not even a crash leaves it behind). A capture that could not
// be made, or whose file refused a write (a full disk, a file-size limit), says
// so: what it hands back is then not all that was written.
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
    // Why the capture is not whole, in words; empty while it is.
    const std::string& problem() const { return m_problem; }

private:
    // The platform's part: the stream pointed at the private file and back.
    void redirect();
    void restore();
    long long writtenSoFar() const;

    int m_fd;
    int m_saved = -1;              // the descriptor the stream had before
    std::string m_path;            // the private file (Windows; natively unlinked at once)
    std::FILE* m_reader = nullptr; // reads the file from the last take on
    long long m_read = 0;
    std::string m_problem;
};
