// Watchdog: runs a session in a child process and watches it through the record
// channel the child writes to. A step that stays open longer than the time limit
// is a hang: the child is killed. A child that ends without its summary record has
// crashed. Natively the child is a fork() of this process; on Windows
// panelhost.exe starts itself again with the hidden --child flag.
#pragma once

#include "records/Records.h"

#include <functional>
#include <string>
#include <vector>

struct ChildLaunch {
    std::function<int()> body;          // natively: what the forked child runs
    std::vector<std::string> arguments; // on Windows: the child's command line after the program
    std::string records;                // the record channel's path
};

struct WatchResult {
    int exitCode = 0;
    bool hung = false;
    std::string how; // how the child ended, for a crash report
};

// Runs the child to its end; every record it writes is handed to `onRecord` as
// soon as it is read. `onTick` (when given) is called every few milliseconds.
WatchResult watchChild(const ChildLaunch& launch, double stepTimeout,
                       const std::function<void(const Record&)>& onRecord,
                       const std::function<void()>& onTick = nullptr);

// A fresh name for a file in the temporary folder.
std::string temporaryFileName(const std::string& stem, const std::string& extension);

// Whether file descriptor `fd` (0 standard input, 2 standard error) is a terminal.
bool isTerminal(int fd);

// Makes a crash of this process end it quietly with the exception's code, with
// no error dialog or debugger, so that the watchdog sees it (Windows only).
void exitQuietlyOnCrash();
