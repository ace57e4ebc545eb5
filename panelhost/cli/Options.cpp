#include "cli/Options.h"

#include <cstdlib>
#include <sstream>

namespace {

std::string defaultUiFolder(const std::string& library) {
    const std::size_t slash = library.find_last_of("/\\");
    return slash == std::string::npos ? std::string("ui") : library.substr(0, slash) + "/ui";
}

bool readNumber(const std::string& text, unsigned long long& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 19) {
        return false;
    }
    out = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool readSeconds(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && out > 0 && out < 1e7;
}

std::vector<std::string> idList(const std::string& text) {
    std::vector<std::string> ids;
    std::istringstream items(text);
    std::string id;
    while (std::getline(items, id, ',')) {
        if (!id.empty()) {
            ids.push_back(id);
        }
    }
    return ids;
}

} // namespace

const char* usageText() {
    return "usage: panelhost [--json] [-v] [--strict] [--ui DIR] [--timeout S] [--junit FILE]\n"
           "                 LIBRARY SCENARIO\n"
           "       panelhost [-v] [--strict] [--ui DIR] [--timeout S] -i LIBRARY\n"
           "       panelhost validate LIBRARY [--seconds N] [--seed N] [--junit FILE]\n"
           "                 [--only IDS] [--skip IDS] [--ui DIR] [--timeout S]\n"
           "       panelhost fuzz LIBRARY [--seed N] [--events K] [--seconds N] [--out FILE]\n"
           "                 [--ui DIR] [--timeout S]\n"
           "       panelhost --list-rules | --version | --help\n";
}

const char* helpText() {
    return "panelhost: the panel-host simulator and contract validator. It loads a script\n"
           "component library for real, drives it the way a panel host does, and audits\n"
           "every command and buffer that crosses the host boundary.\n"
           "\n"
           "Modes:\n"
           "  LIBRARY SCENARIO   play a scenario file against the library and check its\n"
           "                     expectations; the transcript goes to standard output.\n"
           "  -i LIBRARY         play lines typed at a terminal, with a prompt; 'help'\n"
           "                     lists what can be typed, 'show' prints the panel, the\n"
           "                     routers and the timers, 'quit' ends. Input that is not a\n"
           "                     terminal is read whole and checked like a scenario file.\n"
           "  validate LIBRARY   run the built-in battery of checks that every component\n"
           "                     of this host must pass; one line per check.\n"
           "  fuzz LIBRARY       play a seeded random world and stream of events with\n"
           "                     every audit on; a finding is shrunk to a replay scenario.\n"
           "  --list-rules       list the audit rules and the validation checks.\n"
           "  --version, --help  this program's version, this text.\n"
           "\n"
           "Options:\n"
           "  --ui DIR           the UI folder handed to the factory (default: 'ui'\n"
           "                     beside the library).\n"
           "  --timeout S        how long one step may take before it counts as a hang\n"
           "                     (default 5).\n"
           "  --json             one JSON record per line instead of the transcript; a\n"
           "                     run that cannot be made ends with a 'fatal' record.\n"
           "  -v, --verbose      also show the replies given back.\n"
           "  --strict           warnings fail the run as errors do.\n"
           "  --junit FILE       write a JUnit XML report: one testcase per expectation\n"
           "                     or breach of a scenario, or per validation check.\n"
           "  --seed N           the seed of fuzzing (default 1).\n"
           "  --events K         fuzz: play at most K events (default 1000, or no limit\n"
           "                     but the time with --seconds).\n"
           "  --seconds N        fuzz: stop after N seconds; validate: how long its fuzz\n"
           "                     check runs (default 10).\n"
           "  --out FILE         fuzz: also write the replay scenario to FILE.\n"
           "  --only IDS         validate: run only these checks, and count only breaches\n"
           "                     of these rules (comma-separated ids, see --list-rules).\n"
           "  --skip IDS         validate: leave out these checks, and ignore breaches of\n"
           "                     these rules.\n"
           "\n"
           "Exit status: 0 every expectation or check held and no breach failed the run;\n"
           "1 an expectation or check failed, or a breach or fuzz finding; 2 a usage\n"
           "error, a scenario that is unreadable, not in the language or holds no step,\n"
           "or a library that cannot be loaded or gives no component.\n";
}

bool wantsJson(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--json") {
            return true;
        }
    }
    return false;
}

bool parseOptions(const std::vector<std::string>& arguments, Options& out, std::string& error) {
    out = Options();
    std::vector<std::string> positional;
    std::size_t i = 0;
    if (!arguments.empty() && arguments[0] == "fuzz") {
        out.mode = Options::Mode::Fuzz;
        i = 1;
    } else if (!arguments.empty() && arguments[0] == "validate") {
        out.mode = Options::Mode::Validate;
        i = 1;
    }
    bool uiGiven = false;
    const char* const withValue[] = {"--ui",      "--timeout", "--seed",  "--events",
                                     "--seconds", "--out",     "--junit", "--only",
                                     "--skip",    "--child",   "--plan"};
    for (; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        bool needsValue = false;
        for (const char* option : withValue) {
            needsValue = needsValue || a == option;
        }
        if (needsValue && i + 1 >= arguments.size()) {
            error = a + " needs a value";
            return false;
        }
        const std::string value = needsValue ? arguments[++i] : std::string();
        unsigned long long number = 0;
        if (a == "-h" || a == "--help") {
            out.mode = Options::Mode::Help;
            return true;
        } else if (a == "--version") {
            out.mode = Options::Mode::Version;
            return true;
        } else if (a == "--list-rules") {
            out.mode = Options::Mode::ListRules;
            return true;
        } else if (a == "--json") {
            out.json = true;
        } else if (a == "-v" || a == "--verbose") {
            out.verbose = true;
        } else if (a == "--strict") {
            out.strict = true;
        } else if (a == "--quiet") {
            out.quiet = true;
        } else if (a == "-i" || a == "--interactive") {
            out.mode = Options::Mode::Interactive;
        } else if (a == "--ui") {
            out.ui = value;
            uiGiven = true;
        } else if (a == "--timeout") {
            if (!readSeconds(value, out.timeout)) {
                error = "--timeout takes a number of seconds";
                return false;
            }
        } else if (a == "--seed") {
            if (!readNumber(value, out.seed)) {
                error = "--seed takes a number";
                return false;
            }
        } else if (a == "--events") {
            if (!readNumber(value, number) || number < 1 || number > 100000000) {
                error = "--events takes a number from 1 to 100000000";
                return false;
            }
            out.events = static_cast<long>(number);
            out.eventsGiven = true;
        } else if (a == "--seconds") {
            if (!readSeconds(value, out.seconds)) {
                error = "--seconds takes a number of seconds";
                return false;
            }
            out.secondsGiven = true;
        } else if (a == "--out") {
            out.out = value;
        } else if (a == "--junit") {
            out.junit = value;
        } else if (a == "--only" || a == "--skip") {
            std::vector<std::string>& ids = a == "--only" ? out.only : out.skip;
            for (const std::string& id : idList(value)) {
                ids.push_back(id);
            }
        } else if (a == "--child") {
            out.childRecords = value;
        } else if (a == "--plan") {
            out.childPlan = value;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            error = "unknown option " + a + " (panelhost --help lists them)";
            return false;
        } else {
            positional.push_back(a);
        }
    }
    const bool withScenario = out.mode == Options::Mode::Run && out.childPlan.empty();
    const std::size_t wanted = withScenario ? 2 : 1;
    if (positional.size() != wanted) {
        error = withScenario ? "expected LIBRARY and SCENARIO" : "expected LIBRARY";
        return false;
    }
    out.library = positional[0];
    if (withScenario) {
        out.scenario = positional[1];
    }
    if (!uiGiven) {
        out.ui = defaultUiFolder(out.library);
    }
    if (out.mode == Options::Mode::Fuzz && out.secondsGiven && !out.eventsGiven) {
        out.events = 100000000; // the time budget is the limit
    }
    if (out.mode == Options::Mode::Validate && !out.secondsGiven) {
        out.seconds = 10;
    }
    return true;
}

std::vector<std::string> childArguments(const Options& options, const std::string& records) {
    std::vector<std::string> arguments = {"--child",  records,     "--ui",
                                          options.ui, "--timeout", std::to_string(options.timeout)};
    if (options.json) {
        arguments.push_back("--json");
    }
    if (options.verbose) {
        arguments.push_back("-v");
    }
    if (options.strict) {
        arguments.push_back("--strict");
    }
    if (options.quiet) {
        arguments.push_back("--quiet");
    }
    if (!options.childPlan.empty()) {
        arguments.push_back("--plan");
        arguments.push_back(options.childPlan);
    }
    if (options.mode == Options::Mode::Interactive) {
        arguments.push_back("-i");
    }
    arguments.push_back(options.library);
    if (options.mode == Options::Mode::Run && options.childPlan.empty()) {
        arguments.push_back(options.scenario);
    }
    return arguments;
}
