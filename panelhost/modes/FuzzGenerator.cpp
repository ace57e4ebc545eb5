#include "modes/FuzzGenerator.h"

#include "CommandTable.h"
#include "language/Text.h"

#include <sstream>

namespace {

const std::vector<std::string> objects = {"PKG_A", "PKG_B", "PKG_C"};
const std::vector<std::string> instances = {"DEST_1", "DEST_2", "DEST_3", "DEST_4",
                                            "DEST_5", "DEST_6", "DEST_7"};
const std::vector<int> devices = {10, 20, 30, 40};
const std::vector<std::string> levelLists = {"1,2", "2",  "0,1", "1,2,3", "",
                                             "5",   "-1", "2,1", "1",     "3,4"};
// Scripted answers go to every command the host knows but the shutdown notice.
std::vector<std::string> answerCodes() {
    std::vector<std::string> codes;
    for (const CommandSpec& spec : allCommands()) {
        if (std::string(spec.code) != "AS") {
            codes.push_back(spec.code);
        }
    }
    return codes;
}

} // namespace

FuzzGenerator::FuzzGenerator(unsigned long long seed,
                             std::map<std::string, std::vector<std::string>> keys)
    : m_engine(seed), m_keys(std::move(keys)) {
    for (const auto& entry : m_keys) {
        m_keyNames.push_back(entry.first);
    }
    if (m_keyNames.empty()) {
        m_keyNames.push_back("instance");
    }
}

void FuzzGenerator::addKeys(const std::string& reply,
                            std::map<std::string, std::vector<std::string>>& keys) {
    std::istringstream lines(reply);
    std::string entry;
    while (std::getline(lines, entry)) {
        const std::size_t end = entry.find_first_of(".=");
        const std::string key = entry.substr(0, end);
        if (key.empty()) {
            continue;
        }
        std::vector<std::string>& hints = keys[key];
        if (end == std::string::npos || entry[end] != '=') {
            continue;
        }
        const std::string value = entry.substr(end + 1);
        if (value.size() >= 2 && value.front() == '[' && value.back() == ']') {
            std::istringstream choices(value.substr(1, value.size() - 2));
            std::string choice;
            while (std::getline(choices, choice, '|')) {
                if (choice != "value") {
                    hints.push_back(choice);
                }
            }
        } else if (!value.empty()) {
            hints.push_back(value);
        }
    }
}

int FuzzGenerator::below(int n) {
    return n <= 1 ? 0 : static_cast<int>(m_engine() % static_cast<unsigned long long>(n));
}

std::string FuzzGenerator::text(int longest) {
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 =,.-_|*%[]";
    std::string out;
    const int length = below(longest + 1);
    for (int i = 0; i < length; ++i) {
        out += alphabet[below(static_cast<int>(sizeof alphabet) - 1)];
    }
    return out;
}

std::string FuzzGenerator::word(int longest) {
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    std::string out;
    const int length = 1 + below(longest);
    for (int i = 0; i < length; ++i) {
        out += alphabet[below(static_cast<int>(sizeof alphabet) - 1)];
    }
    return out;
}

std::string FuzzGenerator::number() {
    static const std::vector<std::string> numbers = {"-1", "0", "1", "2", "5", "7", "12", "1000"};
    return chance(80) ? pick(numbers) : std::to_string(below(2000) - 1000);
}

std::vector<std::string> FuzzGenerator::world() {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i + 1 < objects.size(); ++i) {
        const std::vector<std::string> levelCounts = {"0", "1", "2", "2", "3", "4", "x"};
        lines.push_back("setting " + objects[i] + " package_levels = " + pick(levelCounts));
        std::string drivers;
        const int count = 1 + below(7);
        for (int d = 0; d < count; ++d) {
            const std::vector<std::string> driverIds = {"0", "5", "10", "20", "30", "40", "999"};
            drivers += (d > 0 ? "," : "") + pick(driverIds);
        }
        lines.push_back("setting " + objects[i] + " driver_ids = " + drivers);
    }
    for (std::size_t i = 0; i + 1 < instances.size(); ++i) {
        if (chance(15)) {
            continue; // unknown to the host: SD gets no reply
        }
        const std::vector<std::string> quirks = {" 20 7", "'20' 7", "20",  "abc",
                                                 "",      "1000 3", "0 4", "30 0"};
        std::string reply;
        if (chance(75)) {
            const int device = pick(devices);
            reply = std::to_string(device) + " " + std::to_string(1 + below(12));
        } else {
            reply = pick(quirks);
        }
        lines.push_back("instance " + instances[i] + " = " + encodeText(reply));
    }
    for (int device : devices) {
        for (int database = 1; database <= 3; ++database) {
            for (int index = 0; index <= 12; ++index) {
                if (chance(50)) {
                    continue;
                }
                std::string name = text(10);
                if (database == 1 && chance(40)) {
                    const int first = below(9);
                    name = std::to_string(first) + ",-," + std::to_string(below(9));
                }
                lines.push_back("name " + std::to_string(device) + " " + std::to_string(database) +
                                " " + std::to_string(index) + " = " + encodeText(name));
            }
        }
    }
    lines.push_back("control 2 other text = " + encodeText(text(6)));
    return lines;
}

std::string FuzzGenerator::valueFor(const std::string& key) {
    if (key == "selected") {
        return number();
    }
    if (key == "instance") {
        return chance(85) ? pick(instances) : text(8);
    }
    if (key == "matrixobject") {
        return chance(85) ? pick(objects) : text(8);
    }
    if (key == "uselevels") {
        return chance(85) ? pick(levelLists) : text(6);
    }
    if (key == "namesDatabase") {
        return number();
    }
    if (key == "return") {
        return chance(70) ? "all" : text(4);
    }
    const auto hints = m_keys.find(key);
    if (hints != m_keys.end() && !hints->second.empty() && chance(70)) {
        return pick(hints->second);
    }
    return chance(30) ? number() : text(8);
}

std::string FuzzGenerator::command() {
    const int kind = below(100);
    if (kind < 85) {
        const std::string& key = pick(m_keyNames);
        return "command " + encodeText(key + "=" + valueFor(key));
    }
    if (kind < 95) {
        return "command " + encodeText(text(14));
    }
    const std::vector<std::string> odd = {"command none",     "command \"\"", "command selected",
                                          "command instance", "command =x",   "command a.b.c=d"};
    return pick(odd);
}

std::vector<std::string> FuzzGenerator::event() {
    std::vector<std::string> lines;
    if (chance(8)) {
        static const std::vector<std::string> codes = answerCodes();
        const std::string& code = pick(codes);
        const int reply = below(4);
        lines.push_back("answer " + code + " => " +
                        (reply == 0   ? std::string("none")
                         : reply == 1 ? std::string("world")
                                      : encodeText(text(10))));
    }
    const int kind = below(100);
    if (kind < 45) {
        lines.push_back(command());
    } else if (kind < 60) {
        const std::vector<std::string> panels = {"1", "1", "1", "1", "2", "0"};
        const std::vector<std::string> controls = {"myDest",   "myDest",   "myDest",
                                                   "tally_L1", "tally_L2", "other"};
        std::string line = "press " + pick(panels) + " ";
        line += chance(90) ? pick(controls) : word(6);
        if (chance(70)) {
            const std::string key = word(5);
            line += " " + encodeText(key + "=" + text(5));
        }
        lines.push_back(line);
    } else if (kind < 72) {
        const int device = pick(devices);
        const int database = 1 + below(3);
        const int index = below(14);
        lines.push_back("dbchange " + std::to_string(device) + " " + std::to_string(database) +
                        " " + std::to_string(index) + " = " + encodeText(text(10)));
    } else if (kind < 82) {
        lines.push_back("timer " + std::to_string(below(10)));
    } else if (kind < 89) {
        const int device = pick(devices);
        const int destination = below(13);
        lines.push_back("revertive " + std::to_string(device) + " " + std::to_string(destination) +
                        " " + std::to_string(below(13)));
    } else if (kind < 96) {
        lines.push_back("aux " + encodeText(text(8)));
    } else if (kind < 98) {
        lines.push_back("destroy");
    } else {
        lines.push_back("load");
    }
    return lines;
}
