#include "cli/CommandLine.h"

#include "Rules.h"
#include "engine/FuzzPlan.h"
#include "language/Text.h"
#include "records/CheckSelection.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

enum Mode : unsigned {
    Run = 1,
    Terminal = 2,
    Validate = 4,
    Fuzz = 8,
    New = 16,
    Info = 32,
    Live = 64
};

struct ModeSpec {
    Mode mode;
    const char* word;  // the mode word before the arguments, or null
    const char* name;  // as messages name the mode
    const char* tag;   // as an option's help lists the mode
    const char* head;  // as the help heads it
    const char* usage; // the usage line, after "panelhost "
    const char* help;  // what it does
};

const ModeSpec Modes[] = {
    {Run, nullptr, "a scenario run", "LIBRARY SCENARIO", "LIBRARY SCENARIO",
     "[OPTIONS] LIBRARY SCENARIO",
     "play a scenario file against the library and check its expectations; '-' as "
     "SCENARIO reads it from standard input."},
    {Terminal, nullptr, "-i", "-i", "-i LIBRARY", "[OPTIONS] -i LIBRARY",
     "play lines typed at a terminal, with a prompt; 'help' lists what can be "
     "typed, 'show' prints the panels, the routers and the timers, 'quit' ends. "
     "Input that is not a terminal is read whole and checked like a scenario file."},
    {Live, "live", "live", "live", "live LIBRARY [SCENARIO]", "live [OPTIONS] LIBRARY [SCENARIO]",
     "serve the component's panel as a page on 127.0.0.1 and print its address, "
     "which holds a token that every request must present. What is done on the "
     "page (a control clicked, a parent command, a timer, any scenario line) is "
     "played as a step, after SCENARIO when given, and shown as it happens; a "
     "component that crashes or hangs can be restarted, and the session saved "
     "as a scenario. Ctrl-C or the page's Quit ends it."},
    {Validate, "validate", "validate", "validate", "validate LIBRARY", "validate [OPTIONS] LIBRARY",
     "run the built-in battery of checks that every component of this host must "
     "pass; one line per check."},
    {Fuzz, "fuzz", "fuzz", "fuzz", "fuzz LIBRARY", "fuzz [OPTIONS] LIBRARY",
     "play a seeded random world and stream of events with every audit on; a "
     "finding is shrunk to a replay scenario."},
    {New, "new", "new", "new", "new NAME [DIR]", "new NAME [DIR]",
     "write a starter component named NAME into DIR (default: NAME in lower case), "
     "a new or empty folder: its source on the frame, its UI layout, a scenario "
     "that plays it, and a CMakeLists.txt that builds it on the installed kit and "
     "tests it."},
};

// The settings of `mode` with their defaults.
Settings defaultsOf(Mode mode) {
    switch (mode) {
    case Run:
        return RunSettings();
    case Terminal:
        return TerminalSettings();
    case Live:
        return LiveSettings();
    case Validate:
        return ValidateSettings();
    case Fuzz:
        return FuzzSettings();
    case New:
        return NewSettings();
    case Info:
        break;
    }
    return InfoRequest::Help;
}

// Where an option's value goes in the settings of a mode: the one field of
// its type, or nothing for a mode whose settings have no such field.
struct FieldRef {
    bool* flag = nullptr;
    std::string* text = nullptr;
    double* seconds = nullptr;
    long* count = nullptr;
    unsigned long long* seed = nullptr;
    std::vector<std::string>* ids = nullptr;
    StackSize* size = nullptr;

    FieldRef() = default;
    FieldRef(bool* field) : flag(field) {}
    FieldRef(std::string* field) : text(field) {}
    FieldRef(double* field) : seconds(field) {}
    FieldRef(long* field) : count(field) {}
    FieldRef(unsigned long long* field) : seed(field) {}
    FieldRef(std::vector<std::string>* field) : ids(field) {}
    FieldRef(StackSize* field) : size(field) {}

    bool none() const {
        return flag == nullptr && text == nullptr && seconds == nullptr && count == nullptr &&
               seed == nullptr && ids == nullptr && size == nullptr;
    }
};

template <class... F> struct Overload : F... { using F::operator()...; };
template <class... F> Overload(F...) -> Overload<F...>;

// The field `member` of the settings of every mode that has one: the modes that
// take an option are those whose settings hold its field.
#define SETTINGS_FIELD(member)                                                                     \
    [](Settings& settings) -> FieldRef {                                                           \
        return std::visit(                                                                         \
            Overload{[](auto& mode) -> decltype(FieldRef(&mode.member)) { return &mode.member; },  \
                     [](const auto&) { return FieldRef(); }},                                      \
            settings);                                                                             \
    }

enum class Kind { Flag, Path, Seconds, Count, Seed, Ids, Size, ModeFlag };

struct OptionSpec {
    const char* name;
    const char* alias; // a one-letter form, or null
    const char* value; // the value's name in the help, or null for a flag
    Kind kind;
    double low, high; // a number's bounds
    const char* help; // "{default}": the default of the first mode that takes it
    FieldRef (*field)(Settings&);
    unsigned selects; // a mode flag: the mode it selects
};

FieldRef noField(Settings&) {
    return FieldRef();
}

const OptionSpec Options[] = {
    {"--interactive", "-i", nullptr, Kind::ModeFlag, 0, 0, "the terminal session (see the modes).",
     noField, Terminal},
    {"--ui", nullptr, "DIR", Kind::Path, 0, 0,
     "the UI folder handed to the factory (default: 'ui' beside the library).",
     SETTINGS_FIELD(target.ui), 0},
    {"--timeout", nullptr, "S", Kind::Seconds, 0.01, 86400,
     "how long one step may take before it counts as a hang (default {default}).",
     SETTINGS_FIELD(target.timeout), 0},
    {"--stack", nullptr, "SIZE", Kind::Size, 64 * 1024, 1024.0 * 1024 * 1024,
     "the stack of the host's thread, on which every call into the component runs, in "
     "bytes or with K or M (default {default}, what a Windows host thread has; give more "
     "only for a host known to give more).",
     SETTINGS_FIELD(target.stack), 0},
    {"--json", nullptr, nullptr, Kind::Flag, 0, 0,
     "one JSON record per line instead of the transcript; a run that cannot be "
     "made ends with a 'fatal' record. Texts keep every byte: byte N is the code "
     "point U+00NN.",
     SETTINGS_FIELD(json), 0},
    {"--verbose", "-v", nullptr, Kind::Flag, 0, 0, "also show the replies given back.",
     SETTINGS_FIELD(verbose), 0},
    {"--strict", nullptr, nullptr, Kind::Flag, 0, 0,
     "warnings fail the run (or the check) as errors do.", SETTINGS_FIELD(strict), 0},
    {"--junit", nullptr, "FILE", Kind::Path, 0, 0,
     "write a JUnit XML report: one testcase per expectation or breach of a "
     "scenario, or per validation check; checked before anything runs.",
     SETTINGS_FIELD(junit), 0},
    {"--html", nullptr, "FILE", Kind::Path, 0, 0,
     "write one self-contained HTML page of the run: the panels drawn after each "
     "step with what changed, each step's traffic, a timeline, and every failure "
     "linked to its line (validate: each check; fuzz: the replay of a finding); "
     "checked before anything runs.",
     SETTINGS_FIELD(html), 0},
    {"--record", nullptr, "FILE", Kind::Path, 0, 0,
     "write the scenario back to FILE with what happened as its expectations "
     "(sent, event and reply of every step, debug, breaches), its other lines kept "
     "as they were (live: the session, when it ends); checked before anything runs.",
     SETTINGS_FIELD(record), 0},
    {"--port", nullptr, "N", Kind::Count, 0, 65535,
     "the port of 127.0.0.1 the page is served on (default {default}: a free one).",
     SETTINGS_FIELD(port), 0},
    {"--seed", nullptr, "N", Kind::Seed, 0, 0, "the seed of fuzzing (default {default}).",
     SETTINGS_FIELD(seed), 0},
    {"--events", nullptr, "K", Kind::Count, 1, MostFuzzEvents,
     "play at most K events (default {default}, or no limit but the time with "
     "--seconds).",
     SETTINGS_FIELD(events), 0},
    {"--seconds", nullptr, "N", Kind::Seconds, 0.01, 604800,
     "fuzz: stop after N seconds; validate: how long its fuzz check runs "
     "(default {default}).",
     SETTINGS_FIELD(seconds), 0},
    {"--out", nullptr, "FILE", Kind::Path, 0, 0,
     "also write the replay scenario to FILE; checked before fuzzing.", SETTINGS_FIELD(out), 0},
    {"--only", nullptr, "IDS", Kind::Ids, 0, 0,
     "run only these checks, and count only breaches of these rules "
     "(comma-separated ids, see --list-rules; fuzz takes rule ids).",
     SETTINGS_FIELD(only), 0},
    {"--skip", nullptr, "IDS", Kind::Ids, 0, 0,
     "leave out these checks, and ignore breaches of these rules, in every "
     "check.",
     SETTINGS_FIELD(skip), 0},
    {"--list-rules", nullptr, nullptr, Kind::ModeFlag, 0, 0,
     "list the audit rules and the validation checks.", noField, Info},
    {"--version", nullptr, nullptr, Kind::ModeFlag, 0, 0, "this program's version.", noField, Info},
    {"--help", "-h", nullptr, Kind::ModeFlag, 0, 0, "this text.", noField, Info},
};

#undef SETTINGS_FIELD

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

// The modes whose settings hold the option's field, or the mode a mode flag selects.
unsigned modesOf(const OptionSpec& option) {
    if (option.kind == Kind::ModeFlag) {
        return option.selects;
    }
    unsigned modes = 0;
    for (const ModeSpec& spec : Modes) {
        Settings settings = defaultsOf(spec.mode);
        if (!option.field(settings).none()) {
            modes |= spec.mode;
        }
    }
    return modes;
}

std::string modeList(unsigned modes) {
    std::string out;
    for (const ModeSpec& spec : Modes) {
        if ((modes & spec.mode) != 0) {
            out += std::string(out.empty() ? "" : ", ") + spec.tag;
        }
    }
    return out;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A size as --stack takes it: whole mebibytes or kibibytes with their letter.
std::string sizeText(unsigned long long bytes) {
    if (bytes != 0 && bytes % (1u << 20) == 0) {
        return std::to_string(bytes >> 20) + "M";
    }
    if (bytes != 0 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + "K";
    }
    return std::to_string(bytes);
}

// A field's value as a command line writes it; empty for a flag that is off,
// a text or list that is empty.
std::string shown(const FieldRef& field) {
    std::string out;
    if (field.flag != nullptr) {
        out = *field.flag ? "on" : "";
    } else if (field.text != nullptr) {
        out = printable(*field.text);
    } else if (field.seconds != nullptr) {
        out = number(*field.seconds);
    } else if (field.count != nullptr) {
        out = std::to_string(*field.count);
    } else if (field.seed != nullptr) {
        out = std::to_string(*field.seed);
    } else if (field.ids != nullptr) {
        for (const std::string& id : *field.ids) {
            out += (out.empty() ? "" : ",") + id;
        }
    } else if (field.size != nullptr) {
        out = sizeText(field.size->bytes);
    }
    return out;
}

// The option's help with its default filled in.
std::string helpOf(const OptionSpec& option) {
    std::string help = option.help;
    const std::size_t at = help.find("{default}");
    if (at == std::string::npos) {
        return help;
    }
    for (const ModeSpec& spec : Modes) {
        if ((modesOf(option) & spec.mode) != 0) {
            Settings defaults = defaultsOf(spec.mode);
            return help.replace(at, 9, shown(option.field(defaults)));
        }
    }
    return help;
}

bool isCheck(const std::string& id) {
    return findCheck(id) != nullptr;
}

// The option values as given, read and checked one by one into the settings.
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

    // Every option given, in the order of the table, into `settings` (the
    // checks take ids of both kinds).
    bool apply(Settings& settings, bool checks) {
        for (const OptionSpec& option : Options) {
            const auto entry = m_given.find(option.name);
            if (entry == m_given.end()) {
                continue;
            }
            const FieldRef field = option.field(settings);
            const std::string& given = entry->second;
            unsigned long long count = 0;
            if (field.flag != nullptr) {
                *field.flag = true;
            } else if ((field.text != nullptr && !text(option, given, *field.text)) ||
                       (field.seconds != nullptr && !seconds(option, given, *field.seconds)) ||
                       (field.seed != nullptr && !whole(option, given, *field.seed)) ||
                       (field.ids != nullptr && !ids(option, given, *field.ids, !checks)) ||
                       (field.size != nullptr && !size(option, given, field.size->bytes)) ||
                       (field.count != nullptr && !whole(option, given, count))) {
                return false;
            }
            if (field.count != nullptr) {
                *field.count = static_cast<long>(count);
            }
        }
        return true;
    }

    bool fail(const std::string& reason) {
        m_error = reason;
        return false;
    }

private:
    bool text(const OptionSpec& option, const std::string& given, std::string& out) {
        if (given.empty()) {
            return fail(std::string(option.name) + " needs a " + option.value +
                        ", not an empty text");
        }
        out = given;
        return true;
    }
    bool seconds(const OptionSpec& option, const std::string& given, double& out) {
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(given.c_str(), &end);
        if (given.empty() || *end != '\0' || errno != 0 || !(value >= option.low) ||
            !(value <= option.high)) {
            return fail(std::string(option.name) + " takes a number of seconds from " +
                        number(option.low) + " to " + number(option.high) + ", not '" + given +
                        "'");
        }
        out = value;
        return true;
    }
    bool whole(const OptionSpec& option, const std::string& given, unsigned long long& out) {
        const unsigned long long low = static_cast<unsigned long long>(option.low);
        const unsigned long long high =
            option.kind == Kind::Seed ? ~0ULL : static_cast<unsigned long long>(option.high);
        errno = 0;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(given.c_str(), &end, 10);
        if (given.empty() || given.find_first_not_of("0123456789") != std::string::npos ||
            errno != 0 || value < low || value > high) {
            return fail(std::string(option.name) + " takes a whole number from " +
                        std::to_string(low) + " to " + std::to_string(high) + ", not '" + given +
                        "'");
        }
        out = value;
        return true;
    }
    bool size(const OptionSpec& option, const std::string& given, unsigned long long& out) {
        const std::size_t digits = given.find_first_not_of("0123456789");
        const std::string unit = digits == std::string::npos ? "" : given.substr(digits);
        const int shift = unit.empty()                 ? 0
                          : unit == "K" || unit == "k" ? 10
                          : unit == "M" || unit == "m" ? 20
                                                       : -1;
        errno = 0;
        const unsigned long long value =
            std::strtoull(given.substr(0, digits).c_str(), nullptr, 10);
        const unsigned long long low = static_cast<unsigned long long>(option.low);
        const unsigned long long high = static_cast<unsigned long long>(option.high);
        if (digits == 0 || shift < 0 || errno != 0 || value > (high >> shift) ||
            (value << shift) < low) {
            return fail(std::string(option.name) + " takes a size from " + sizeText(low) + " to " +
                        sizeText(high) + " (bytes, or with K or M), not '" + given + "'");
        }
        out = value << shift;
        return true;
    }
    bool ids(const OptionSpec& option, const std::string& text, std::vector<std::string>& out,
             bool rulesOnly) {
        const std::string name = option.name;
        std::size_t begin = 0;
        for (;;) {
            const std::size_t comma = text.find(',', begin);
            const std::string id = text.substr(begin, comma - begin);
            if (id.empty()) {
                return fail(name + " takes a comma-separated list of check and rule ids, with no "
                                   "empty item");
            }
            if (rulesOnly && findRule(id) == nullptr) {
                return fail(name + ": no rule " + id +
                            (isCheck(id) ? " (it is a check of validate; fuzz takes rule ids)"
                                         : " (panelhost --list-rules lists them)"));
            }
            if (!isCheck(id) && findRule(id) == nullptr) {
                return fail(name + ": no check or rule " + id +
                            " (panelhost --list-rules lists them)");
            }
            out.push_back(id);
            if (comma == std::string::npos) {
                return true;
            }
            begin = comma + 1;
        }
    }

    std::string& m_error;
    std::map<std::string, std::string> m_given;
};

// The settings of `mode` from its arguments and the options given.
bool makeSettings(Mode mode, const std::vector<std::string>& positional, Values& values,
                  Settings& out) {
    out = defaultsOf(mode);
    std::visit(Overload{[&](auto& settings) -> decltype(void(settings.target)) {
                            settings.target.library = positional[0];
                            settings.target.ui = defaultUiFolder(positional[0]);
                        },
                        [](const auto&) {}},
               out);
    if (RunSettings* run = std::get_if<RunSettings>(&out)) {
        run->scenario = positional[1];
    }
    if (LiveSettings* live = std::get_if<LiveSettings>(&out); live && positional.size() == 2) {
        live->scenario = positional[1];
    }
    if (!values.apply(out, mode == Validate)) {
        return false;
    }
    if (const ValidateSettings* validate = std::get_if<ValidateSettings>(&out)) {
        if (selectionOf(validate->only, validate->skip, validate->strict).checks.none()) {
            return values.fail(
                std::string(values.has("--only") ? "--only and --skip leave" : "--skip leaves") +
                " no check to run; validating nothing would prove nothing");
        }
    }
    if (FuzzSettings* fuzz = std::get_if<FuzzSettings>(&out)) {
        if (values.has("--seconds") && !values.has("--events")) {
            fuzz->events = MostFuzzEvents; // the time budget is the limit
        }
    }
    return true;
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
    for (const ModeSpec& spec : Modes) {
        if (!positional.empty() && spec.word != nullptr && positional[0] == spec.word) {
            mode = spec.mode;
        }
    }
    if (mode != Run) {
        positional.erase(positional.begin());
    }
    if (modeFlags.size() > 1 || (modeFlags.size() == 1 && mode != Run)) {
        return values.fail(modeFlagNames[0] + " and " +
                           (mode != Run ? modeSpec(mode).name : modeFlagNames[1]) +
                           " are two modes; give one");
    }
    if (!modeFlags.empty()) {
        mode = static_cast<Mode>(modeFlags[0]->selects);
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
        if ((modesOf(option) & mode) == 0) {
            return values.fail(std::string(spec.name) + " does not take " + option.name +
                               " (it is for " + modeList(modesOf(option)) + ")");
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
    if (positional.size() != wanted && !(mode == Live && positional.size() == 2)) {
        const std::string expected = mode == Run    ? "LIBRARY and SCENARIO"
                                     : mode == Live ? "LIBRARY and, optionally, SCENARIO"
                                                    : "one LIBRARY";
        return values.fail(std::string(spec.name) + " takes " + expected + ", but " +
                           (positional.empty() ? std::string("none was")
                                               : std::to_string(positional.size()) +
                                                     (positional.size() == 1 ? " was" : " were")) +
                           " given");
    }
    return makeSettings(mode, positional, values, out.settings);
}

std::string commandLine(const Settings& settings, const std::vector<const char*>& options) {
    Settings copy = settings; // the option table reaches fields for writing
    std::string out = "panelhost";
    for (const ModeSpec& spec : Modes) {
        if (defaultsOf(spec.mode).index() == settings.index() && spec.mode != Run) {
            out += std::string(" ") + (spec.word != nullptr ? spec.word : spec.name);
        }
    }
    std::visit(Overload{[&](const RunSettings& run) {
                            out +=
                                " " + printable(run.target.library) + " " + printable(run.scenario);
                        },
                        [&](const LiveSettings& live) {
                            out += " " + printable(live.target.library) +
                                   (live.scenario.empty() ? "" : " " + printable(live.scenario));
                        },
                        [&](const auto& other) -> decltype(void(other.target)) {
                            out += " " + printable(other.target.library);
                        },
                        [&](const NewSettings& starter) {
                            out += " " + printable(starter.name) + " " + printable(starter.folder);
                        },
                        [](InfoRequest) {}},
               settings);
    for (const char* name : options) {
        const OptionSpec* option = findOption(name);
        const std::string value = option != nullptr ? shown(option->field(copy)) : std::string();
        if (!value.empty()) {
            out += std::string(" ") + option->name +
                   (option->value != nullptr ? " " + value : std::string());
        }
    }
    return out;
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
        // A head too long for its column stands on a line of its own.
        const bool alone = head.size() >= indent.size();
        head.resize(alone ? head.size() : indent.size(), ' ');
        std::string out = alone ? head + "\n" + indent : head;
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
        out += described(spec.head, spec.help);
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
        std::string modes = "[" + modeList(modesOf(option)) + "]";
        for (char& c : modes) {
            c = c == ' ' ? '\x01' : c;
        }
        out += described(head, helpOf(option) + " " + modes);
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
