// Options: what panelhost was asked to do, read from its command line.
//   panelhost [--json] [-v] [--strict] [--ui DIR] [--timeout S] LIBRARY SCENARIO
//   panelhost [--json] [-v] [--strict] [--ui DIR] [--timeout S] -i LIBRARY
//   panelhost fuzz LIBRARY --seed N [--events K] [--seconds N] [--out FILE] [--ui DIR]
//                  [--timeout S]
// "--child RECORDS" (with "--plan FILE" when fuzzing) is the hidden flag by which
// panelhost.exe starts itself as the supervised child on Windows.
#pragma once

#include <string>
#include <vector>

struct Options {
    enum class Mode { Run, Interactive, Fuzz, Help };
    Mode mode = Mode::Run;
    std::string library;
    std::string scenario;
    std::string ui; // default: the folder "ui" beside the library
    bool json = false;
    bool verbose = false;
    bool strict = false;
    bool quiet = false;   // no output at all (the fuzzer's own runs)
    double timeout = 5.0; // seconds one step may take
    unsigned long long seed = 1;
    long events = 1000; // fuzz: how many events at most
    bool eventsGiven = false;
    double seconds = 0; // fuzz: the time budget; 0 for none
    std::string out;    // fuzz: where to write the replay scenario
    std::string childRecords;
    std::string childPlan; // fuzz: the plan the child plays
};

// Whether the command line asks for JSON output, read before anything else so
// that even a usage error can be reported as a record.
bool wantsJson(const std::vector<std::string>& arguments);
// False with a one-line reason for a command line that makes no sense.
bool parseOptions(const std::vector<std::string>& arguments, Options& out, std::string& error);
// The arguments that start the supervised child for `options`.
std::vector<std::string> childArguments(const Options& options, const std::string& records);
const char* usageText();
