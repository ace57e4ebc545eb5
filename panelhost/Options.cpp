#include "Options.h"

#include <cstdlib>

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

} // namespace

const char* usageText() {
    return "usage: panelhost [--json] [-v] [--strict] [--ui DIR] [--timeout S] LIBRARY SCENARIO\n"
           "       panelhost [--json] [-v] [--strict] [--ui DIR] [--timeout S] -i LIBRARY\n"
           "       panelhost fuzz LIBRARY --seed N [--events K] [--seconds N] [--out FILE] "
           "[--ui DIR] [--timeout S]\n";
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
    }
    bool uiGiven = false;
    for (; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        unsigned long long number = 0;
        if (a == "-h" || a == "--help") {
            out.mode = Options::Mode::Help;
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
        } else if (a == "--ui" && hasValue) {
            out.ui = arguments[++i];
            uiGiven = true;
        } else if (a == "--timeout" && hasValue) {
            char* end = nullptr;
            out.timeout = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(out.timeout > 0)) {
                error = "--timeout takes a number of seconds";
                return false;
            }
        } else if (a == "--seed" && hasValue) {
            if (!readNumber(arguments[++i], out.seed)) {
                error = "--seed takes a number";
                return false;
            }
        } else if (a == "--events" && hasValue) {
            if (!readNumber(arguments[++i], number) || number < 1 || number > 100000000) {
                error = "--events takes a number from 1 to 100000000";
                return false;
            }
            out.events = static_cast<long>(number);
            out.eventsGiven = true;
        } else if (a == "--seconds" && hasValue) {
            char* end = nullptr;
            out.seconds = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(out.seconds > 0)) {
                error = "--seconds takes a number of seconds";
                return false;
            }
        } else if (a == "--plan" && hasValue) {
            out.childPlan = arguments[++i];
        } else if (a == "--out" && hasValue) {
            out.out = arguments[++i];
        } else if (a == "--child" && hasValue) {
            out.childRecords = arguments[++i];
        } else if (a == "--ui" || a == "--timeout" || a == "--seed" || a == "--events" ||
                   a == "--seconds" || a == "--out" || a == "--child" || a == "--plan") {
            error = a + " needs a value";
            return false;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
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
    if (out.mode == Options::Mode::Fuzz && out.seconds > 0 && !out.eventsGiven) {
        out.events = 100000000; // the time budget is the limit
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
