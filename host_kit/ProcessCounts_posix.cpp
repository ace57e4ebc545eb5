#include "ProcessCounts.h"

#include <dirent.h>

namespace {

// The entries of a folder of /proc, less "." and "..".
int entries(const char* folder) {
    DIR* directory = opendir(folder);
    if (directory == nullptr) {
        return -1;
    }
    int count = 0;
    while (const dirent* entry = readdir(directory)) {
        count += entry->d_name[0] != '.';
    }
    closedir(directory);
    return count;
}

} // namespace

namespace process_counts {

int openHandles() {
    // The folder being read is open too while it is read.
    const int count = entries("/proc/self/fd");
    return count < 0 ? -1 : count - 1;
}

int runningThreads() {
    return entries("/proc/self/task");
}

} // namespace process_counts
