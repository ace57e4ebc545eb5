// ProcessCounts: how many handles the process holds open and how many threads
// it runs, as a host reads them to tell what a component left behind: handles
// that keep growing (validate's leak check), threads still running after the
// component was destroyed. Natively the entries of /proc/self/fd and
// /proc/self/task; on Windows the process's handle count, and its threads as
// the program's thread callbacks count them starting and ending (built by GCC;
// otherwise a snapshot of the system's threads, which costs far more). Both
// count the whole process: a difference between two readings is what happened
// between them. -1 where the platform does not tell.
#pragma once

namespace process_counts {

int openHandles();
int runningThreads();

} // namespace process_counts
