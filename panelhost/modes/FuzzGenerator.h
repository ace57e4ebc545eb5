// FuzzGenerator: a random but reproducible host world and stream of events,
// written as scenario lines. The same seed and the same parent-command keys
// give the same lines on every platform (the engine is mt19937_64, whose output
// the language fixes, reduced by plain modulo). Parent commands draw their keys
// from the component's own key list, with values from the hints the component
// gave ("[a|b]" names choices) or from the host's world, and from random texts;
// random texts never hold a single quote or a control character, since a
// component hands parent texts into its command texts verbatim.
#pragma once

#include <map>
#include <random>
#include <string>
#include <vector>

class FuzzGenerator {
public:
    // `keys`: parent-command key to the value hints known for it (may be empty).
    FuzzGenerator(unsigned long long seed, std::map<std::string, std::vector<std::string>> keys);

    // The facts of the world: object settings, instances, names, a second panel.
    std::vector<std::string> world();
    // The lines of one event: possibly a scripted answer, then one step.
    std::vector<std::string> event();

    // Keys and hints read from a component's "_commands" or settings-list reply:
    // one "key=value" entry per line.
    static void addKeys(const std::string& reply,
                        std::map<std::string, std::vector<std::string>>& keys);

private:
    int below(int n);
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(below(static_cast<int>(from.size())))];
    }
    std::string text(int longest);
    std::string word(int longest);
    std::string number();
    std::string command();
    std::string valueFor(const std::string& key);

    std::mt19937_64 m_engine;
    std::map<std::string, std::vector<std::string>> m_keys;
    std::vector<std::string> m_keyNames;
};
