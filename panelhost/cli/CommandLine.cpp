#include "cli/CommandLine.h"

#include "Rules.h"
#include "modes/NewComponent.h"
#include "records/CheckSelection.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <set>

namespace {

enum Mode : unsigned { Run = 1, Terminal = 2, Validate = 4, Fuzz = 8, Info = 16, New = 32 };
const unsigned Loading = Run | Terminal | Validate | Fuzz;

struct ModeSpec {
    Mode mode;
    const char* name;  // as messages name the mode
    const char* usage; // the usage line, after "panelhost "
    const char* help;  // what it does
};

const ModeSpec Modes[] = {
    {Run, "a scenario run", "[OPTIONS] LIBRARY SCENARIO",
     "play a scenario file against the library and check its expectations; '-' as "
     "SCENARIO reads it from standard input."},
    {Terminal, "-i", "[OPTIONS] -i LIBRARY",
     "play lines typed at a terminal, with a prompt; 'help' lists what can be "
     "typed, 'show' prints the panels, the routers and the timers, 'quit' ends. "
     "Input that is not a terminal is read whole and checked like a scenario file."},
    {Validate, "validate", "validate [OPTIONS] LIBRARY",
     "run the built-in battery of checks that every component of this host must "
     "pass; one line per check."},
    {Fuzz, "fuzz", "fuzz [OPTIONS] LIBRARY",
     "play a seeded random world and stream of events with every audit on; a "
     "finding is shrunk to a replay scenario."},
    {New, "new", "new NAME [DIR]",
     "write a starter component named NAME into DIR (default: NAME in lower case), "
     "a new or empty folder: its source on the frame, its UI layout, a scenario "
     "that plays it, and a CMakeLists.txt that builds it on the installed kit and "
     "tests it."},
};

enum class Kind { Flag, Path, Seconds, Count, Seed, Ids, ModeFlag };

struct OptionSpec {
    const char* name;
    const char* alias; // a one-letter form, or null
    const char* value; // the value's name in the help, or null for a flag
    Kind kind;
    unsigned modes; // the modes that take it
    double low, high;
    const char* help;
};

const OptionSpec Options[] = {
    {"--interactive", "-i", nullptr, Kind::ModeFlag, Terminal, 0, 0,
     "the terminal session (see the modes)."},
    {"--ui", nullptr, "DIR", Kind::Path, Loading, 0, 0,
     "the UI folder handed to the factory (default: 'ui' beside the library)."},
    {"--timeout", nullptr, "S", Kind::Seconds, Loading, 0.01, 86400,
     "how long one step may take before it counts as a hang (default 5)."},
    {"--json", nullptr, nullptr, Kind::Flag, Run, 0, 0,
     "one JSON record per line instead of the transcript; a run that cannot be "
     "made ends with a 'fatal' record. Texts keep every byte: byte N is the code "
     "point U+00NN."},
    {"--verbose", "-v", nullptr, Kind::Flag, Run | Terminal, 0, 0,
     "also show the replies given back."},
    {"--strict", nullptr, nullptr, Kind::Flag, Run | Terminal | Validate | Fuzz, 0, 0,
     "warnings fail the run (or the check) as errors do."},
    {"--junit", nullptr, "FILE", Kind::Path, Run | Validate, 0, 0,
     "write a JUnit XML report: one testcase per expectation or breach of a "
     "scenario, or per validation check; checked before anything runs."},
    {"--html", nullptr, "FILE", Kind::Path, Run | Validate | Fuzz, 0, 0,
     "write one self-contained HTML page of the run: the panels drawn after each "
     "step with what changed, each step's traffic, a timeline, and every failure "
     "linked to its line (validate: each check; fuzz: the replay of a finding); "
     "checked before anything runs."},
    {"--record", nullptr, "FILE", Kind::Path, Run, 0, 0,
     "write the scenario back to FILE with what happened as its expectations "
     "(sent, event and reply of every step, debug, breaches), its other lines kept "
     "as they were; checked before anything runs."},
    {"--seed", nullptr, "N", Kind::Seed, Validate | Fuzz, 0, 0, "the seed of fuzzing (default 1)."},
    {"--events", nullptr, "K", Kind::Count, Fuzz, 1, 100000000,
     "play at most K events (default 1000, or no limit but the time with "
     "--seconds)."},
    {"--seconds", nullptr, "N", Kind::Seconds, Validate | Fuzz, 0.01, 604800,
     "fuzz: stop after N seconds; validate: how long its fuzz check runs "
     "(default 10)."},
    {"--out", nullptr, "FILE", Kind::Path, Fuzz, 0, 0,
     "also write the replay scenario to FILE; checked before fuzzing."},
    {"--only", nullptr, "IDS", Kind::Ids, Validate | Fuzz, 0, 0,
     "run only these checks, and count only breaches of these rules "
     "(comma-separated ids, see --list-rules; fuzz takes rule ids)."},
    {"--skip", nullptr, "IDS", Kind::Ids, Validate | Fuzz, 0, 0,
     "leave out these checks, and ignore breaches of these rules, in every "
     "check."},
    {"--list-rules", nullptr, nullptr, Kind::ModeFlag, Info, 0, 0,
     "list the audit rules and the validation checks."},
    {"--version", nullptr, nullptr, Kind::ModeFlag, Info, 0, 0, "this program's version."},
    {"--help", "-h", nullptr, Kind::ModeFlag, Info, 0, 0, "this text."},
};

const OptionSpec* findOption(const std::string& name) {
    for (const OptionSpec& option : Options) {
        if (name == option.name || (option.alias != nullptr && name == option.alias)) {
            return &option;
        }
    }
    return nullptr;
}

const ModeSpec& modeSpec(Mode mode) {
    for (const ModeSpec& spec : Modes) {
        if (spec.mode == mode) {
            return spec;
        }
    }
    return Modes[0];
}

std::string modeList(unsigned modes) {
    std::string out;
    for (const ModeSpec& spec : Modes) {
        if ((modes & spec.mode) != 0) {
            out += std::string(out.empty() ? "" : ", ") +
                   (spec.mode == Run ? "LIBRARY SCENARIO" : spec.name);
        }
    }
    return out;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string defaultUiFolder(const std::string& library) {
    const std::size_t slash = library.find_last_of("/\\");
    return slash == std::string::npos ? std::string("ui") : library.substr(0, slash) + "/ui";
}

bool isCheck(const std::string& id) {
    return findCheck(id) != nullptr;
}

// The option values as given, read and checked one by one.
class Values {
public:
    explicit Values(std::string& error) : m_error(error) {}

    bool add(const OptionSpec& option, const std::string& value) {
        if (!m_given.emplace(option.name, value).second) {
            return fail(std::string(option.name) + " is given twice; give it once");
        }
        return true;
    }
    bool has(const char* name) const { return m_given.count(name) > 0; }
    const std::map<std::string, std::string>& given() const { return m_given; }

    bool text(const char* name, std::string& out) {
        const auto found = m_given.find(name);
        if (found == m_given.end()) {
            return true;
        }
        if (found->second.empty()) {
            return fail(std::string(name) + " needs a " + findOption(name)->value +
                        ", not an empty text");
        }
        out = found->second;
        return true;
    }
    bool seconds(const char* name, double& out) {
        const auto found = m_given.find(name);
        if (found == m_given.end()) {
            return true;
        }
        const OptionSpec& option = *findOption(name);
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(found->second.c_str(), &end);
        if (found->second.empty() || *end != '\0' || errno != 0 || !(value >= option.low) ||
            !(value <= option.high)) {
            return fail(std::string(name) + " takes a number of seconds from " +
                        number(option.low) + " to " + number(option.high) + ", not '" +
                        found->second + "'");
        }
        out = value;
        return true;
    }
    bool whole(const char* name, unsigned long long& out, unsigned long long low,
               unsigned long long high) {
        const auto found = m_given.find(name);
        if (found == m_given.end()) {
            return true;
        }
        const std::string& text = found->second;
        errno = 0;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
            errno != 0 || value < low || value > high) {
            return fail(std::string(name) + " takes a whole number from " + std::to_string(low) +
                        " to " + std::to_string(high) + ", not '" + text + "'");
        }
        out = value;
        return true;
    }
    bool ids(const char* name, std::vector<std::string>& out, bool rulesOnly = false) {
        const auto found = m_given.find(name);
        if (found == m_given.end()) {
            return true;
        }
        const std::string& text = found->second;
        std::size_t begin = 0;
        for (;;) {
            const std::size_t comma = text.find(',', begin);
            const std::string id = text.substr(begin, comma - begin);
            if (id.empty()) {
                return fail(std::string(name) +
                            " takes a comma-separated list of check and rule ids, with no "
                            "empty item");
            }
            if (rulesOnly && findRule(id) == nullptr) {
                return fail(std::string(name) + ": no rule " + id +
                            (isCheck(id) ? " (it is a check of validate; fuzz takes rule ids)"
                                         : " (panelhost --list-rules lists them)"));
            }
            if (!isCheck(id) && findRule(id) == nullptr) {
                return fail(std::string(name) + ": no check or rule " + id +
                            " (panelhost --list-rules lists them)");
            }
            out.push_back(id);
            if (comma == std::string::npos) {
                return true;
            }
            begin = comma + 1;
        }
    }
    bool fail(const std::string& reason) {
        m_error = reason;
        return false;
    }

private:
    std::string& m_error;
    std::map<std::string, std::string> m_given;
};

LibrarySettings target(const std::string& library, Values& values, bool& fine) {
    LibrarySettings out;
    out.library = library;
    out.ui = defaultUiFolder(library);
    fine = values.text("--ui", out.ui) && values.seconds("--timeout", out.timeout);
    return out;
}

// Whether the checks that validate would run are none.
bool noCheckLeft(const ValidateSettings& settings) {
    return selectionOf(settings.only, settings.skip, settings.strict).checks.none();
}

bool makeSettings(Mode mode, const std::vector<std::string>& positional, Values& values,
                  Settings& out) {
    bool fine = true;
    if (mode == Run) {
        RunSettings run;
        run.target = target(positional[0], values, fine);
        run.scenario = positional[1];
        run.json = values.has("--json");
        run.verbose = values.has("--verbose");
        run.strict = values.has("--strict");
        fine = fine && values.text("--junit", run.junit) && values.text("--html", run.html) &&
               values.text("--record", run.record);
        out = run;
    } else if (mode == Terminal) {
        TerminalSettings terminal;
        terminal.target = target(positional[0], values, fine);
        terminal.verbose = values.has("--verbose");
        terminal.strict = values.has("--strict");
        out = terminal;
    } else if (mode == Validate) {
        ValidateSettings validate;
        validate.target = target(positional[0], values, fine);
        validate.strict = values.has("--strict");
        fine = fine && values.seconds("--seconds", validate.seconds) &&
               values.whole("--seed", validate.seed, 0, ~0ULL) &&
               values.text("--junit", validate.junit) && values.text("--html", validate.html) &&
               values.ids("--only", validate.only) && values.ids("--skip", validate.skip);
        if (fine && noCheckLeft(validate)) {
            return values.fail(
                std::string(values.has("--only") ? "--only and --skip leave" : "--skip leaves") +
                " no check to run; validating nothing would prove nothing");
        }
        out = validate;
    } else {
        FuzzSettings fuzz;
        fuzz.target = target(positional[0], values, fine);
        unsigned long long events = static_cast<unsigned long long>(fuzz.events);
        fuzz.strict = values.has("--strict");
        fine = fine && values.whole("--seed", fuzz.seed, 0, ~0ULL) &&
               values.whole("--events", events, 1, 100000000) &&
               values.seconds("--seconds", fuzz.seconds) && values.text("--out", fuzz.out) &&
               values.ids("--only", fuzz.only, true) && values.ids("--skip", fuzz.skip, true) &&
               values.text("--html", fuzz.html);
        fuzz.events = static_cast<long>(events);
        if (values.has("--seconds") && !values.has("--events")) {
            fuzz.events = 100000000; // the time budget is the limit
        }
        out = fuzz;
    }
    return fine;
}

} // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& out,
                      std::string& error) {
    out = CommandLine();
    Values values(error);
    std::vector<std::string> positional;
    std::vector<const OptionSpec*> modeFlags;
    std::vector<std::string> modeFlagNames; // as written
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionSpec* option = findOption(name);
        if (option == nullptr) {
            return values.fail("unknown option " + name + " (panelhost --help lists them)");
        }
        out.json = out.json || std::string(option->name) == "--json";
        std::string value;
        if (option->value == nullptr && equals != std::string::npos) {
            return values.fail(name + " takes no value");
        }
        if (option->value != nullptr) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return values.fail(name + " needs a value: " + option->name + " " + option->value);
            }
        }
        if (option->kind == Kind::ModeFlag) {
            modeFlags.push_back(option);
            modeFlagNames.push_back(name);
        }
        if (!values.add(*option, value)) {
            return false;
        }
    }
    if (values.has("--help")) {
        out.settings = InfoRequest::Help;
        return true;
    }
    // The mode: a mode word before the arguments, a mode option, or a scenario run.
    Mode mode = Run;
    if (!positional.empty() &&
        (positional[0] == "validate" || positional[0] == "fuzz" || positional[0] == "new")) {
        mode = positional[0] == "validate" ? Validate : positional[0] == "fuzz" ? Fuzz : New;
        positional.erase(positional.begin());
    }
    if (modeFlags.size() > 1 || (modeFlags.size() == 1 && mode != Run)) {
        return values.fail(modeFlagNames[0] + " and " +
                           (mode != Run ? modeSpec(mode).name : modeFlagNames[1]) +
                           " are two modes; give one");
    }
    if (!modeFlags.empty()) {
        mode = modeFlags[0]->modes == Terminal ? Terminal : Info;
    }
    if (mode == Info) {
        if (values.given().size() > 1 || !positional.empty()) {
            return values.fail(modeFlagNames[0] + " takes no other argument");
        }
        out.settings = std::string(modeFlags[0]->name) == "--version" ? InfoRequest::Version
                                                                      : InfoRequest::ListRules;
        return true;
    }
    const ModeSpec& spec = modeSpec(mode);
    for (const auto& entry : values.given()) {
        const OptionSpec& option = *findOption(entry.first);
        if ((option.modes & mode) == 0) {
            return values.fail(std::string(spec.name) + " does not take " + option.name +
                               " (it is for " + modeList(option.modes) + ")");
        }
    }
    if (mode == New) {
        if (positional.empty() || positional.size() > 2) {
            return values.fail("new takes NAME and, optionally, DIR");
        }
        NewSettings starter;
        starter.name = positional[0];
        starter.folder =
            positional.size() == 2 ? positional[1] : defaultStarterFolder(starter.name);
        out.settings = starter;
        return true;
    }
    const std::size_t wanted = mode == Run ? 2 : 1;
    if (mode == Terminal && positional.size() == 2) {
        return values.fail("-i takes no scenario: it plays lines typed at the terminal (to "
                           "play a file, leave out -i)");
    }
    if (positional.size() != wanted) {
        const std::string expected = mode == Run ? "LIBRARY and SCENARIO" : "one LIBRARY";
        return values.fail(std::string(spec.name) + " takes " + expected + ", but " +
                           (positional.empty() ? std::string("none was")
                                               : std::to_string(positional.size()) +
                                                     (positional.size() == 1 ? " was" : " were")) +
                           " given");
    }
    return makeSettings(mode, positional, values, out.settings);
}

std::string usageText() {
    std::string out;
    for (const ModeSpec& spec : Modes) {
        out += std::string(out.empty() ? "usage: " : "       ") + "panelhost " + spec.usage + "\n";
    }
    return out + "       panelhost --list-rules | --version | --help\n";
}

std::string helpText() {
    const std::string indent(21, ' ');
    // The head, then the text wrapped into a column beside it.
    const auto described = [&](std::string head, const std::string& text) {
        head = "  " + head;
        head.resize(indent.size(), ' ');
        std::string out = head;
        std::string line;
        std::size_t begin = 0;
        while (begin < text.size()) {
            std::size_t end = text.find(' ', begin);
            end = end == std::string::npos ? text.size() : end;
            const std::string word = text.substr(begin, end - begin);
            if (!line.empty() && indent.size() + line.size() + 1 + word.size() > 79) {
                out += line + "\n" + indent;
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            begin = end + 1;
        }
        out += line + "\n";
        for (char& c : out) {
            c = c == '\x01' ? ' ' : c; // a space where no line may break
        }
        return out;
    };
    std::string out = usageText();
    out += "\npanelhost: the panel-host simulator and contract validator. It loads a script\n"
           "component library for real, drives it the way a panel host does, and audits\n"
           "every command and buffer that crosses the host boundary.\n\nModes:\n";
    for (const ModeSpec& spec : Modes) {
        out += described(spec.mode == Run        ? "LIBRARY SCENARIO"
                         : spec.mode == Terminal ? "-i LIBRARY"
                         : spec.mode == New      ? "new NAME [DIR]"
                                                 : spec.name + std::string(" LIBRARY"),
                         spec.help);
    }
    out += "\nOptions (each may stand before or after the mode word and the arguments; the\n"
           "modes that take it follow in brackets):\n";
    for (const OptionSpec& option : Options) {
        if (option.kind == Kind::ModeFlag) {
            continue;
        }
        const std::string head =
            (option.alias != nullptr ? std::string(option.alias) + ", " + option.name
                                     : std::string(option.name)) +
            (option.value != nullptr ? std::string(" ") + option.value : "");
        std::string modes = "[" + modeList(option.modes) + "]";
        for (char& c : modes) {
            c = c == ' ' ? '\x01' : c;
        }
        out += described(head, std::string(option.help) + " " + modes);
    }
    out += "\nAlone: --list-rules (the audit rules and the validation checks), --version,\n"
           "--help.\n\n"
           "Exit status: 0 every expectation or check held and no breach failed the run;\n"
           "1 an expectation or check failed, or a breach or fuzz finding; 2 a usage\n"
           "error, a scenario that is unreadable, refused or not in the language, a\n"
           "library that cannot be loaded or gives no component, an output that cannot\n"
           "be written, or a starter folder that is not empty.\n";
    return out;
}
