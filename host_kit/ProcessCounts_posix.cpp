#include "ProcessCounts.h"

#include <dirent.h>
#include <unistd.h>

namespace {

// A folder of /proc kept open by the process that opened it (a child made by
// fork opens its own), and counted anew on each reading: a host reads the
// threads at every destruction, and opening the folder by name costs more
// than reading it.
class Folder {
public:
    explicit Folder(const char* path) : m_path(path) {}
    // Its entries, less "." and ".."; -1 when it cannot be read.
    int entries() {
        if (m_directory == nullptr || m_owner != getpid()) {
            m_directory = opendir(m_path); // a forked child's copy is left as it is
            m_owner = getpid();
        }
        if (m_directory == nullptr) {
            return -1;
        }
        rewinddir(m_directory);
        int count = 0;
        while (const dirent* entry = readdir(m_directory)) {
            count += entry->d_name[0] != '.';
        }
        return count;
    }

private:
    const char* m_path;
    DIR* m_directory = nullptr;
    pid_t m_owner = 0;
};

} // namespace

namespace process_counts {

int openHandles() {
    // Read by name each time, so that the folder's own handle is one reading's.
    DIR* directory = opendir("/proc/self/fd");
    if (directory == nullptr) {
        return -1;
    }
    int count = 0;
    while (const dirent* entry = readdir(directory)) {
        count += entry->d_name[0] != '.';
    }
    closedir(directory);
    return count - 1; // the folder being read is open too while it is read
}

int runningThreads() {
    static Folder tasks("/proc/self/task");
    return tasks.entries();
}

} // namespace process_counts
