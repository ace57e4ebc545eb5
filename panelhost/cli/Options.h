// Options: what panelhost was asked to do, read from its command line (usageText
// and helpText say it all). "--child RECORDS" (with "--plan FILE" when fuzzing) is
// the hidden flag by which panelhost.exe starts itself as the supervised child on
// Windows.
#pragma once

#include <string>
#include <vector>

struct Options {
    enum class Mode { Run, Interactive, Fuzz, Validate, Help, Version, ListRules };
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
    double seconds = 0; // fuzz: the time budget; 0 for none (validate: 10)
    bool secondsGiven = false;
    std::string out;               // fuzz: where to write the replay scenario
    std::string junit;             // where to write the JUnit report
    std::vector<std::string> only; // validate: the check and rule ids to keep
    std::vector<std::string> skip; // validate: the check and rule ids to leave out
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
// The usage lines, and the whole description of every mode and option.
const char* usageText();
const char* helpText();
