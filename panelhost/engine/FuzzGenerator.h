// FuzzGenerator: a random but reproducible host world and stream of events,
// written as scenario lines, in the component's own world (ComponentWorld): its
// keys with the values it hints, its panels and controls, the instances, names
// and routers it asks about, each also with random neighbours. The same seed
// and the same world give the same lines on every platform (the engine is
// mt19937_64, whose output the language fixes, reduced by plain modulo). Random
// texts never hold a single quote or a control character, since a component
// hands parent texts into its command texts verbatim.
#pragma once

#include "engine/ComponentWorld.h"

#include <random>
#include <string>
#include <vector>

class FuzzGenerator {
public:
    FuzzGenerator(unsigned long long seed, const ComponentWorld& world);

    // The facts of the world: made-up controls, instances, names.
    std::vector<std::string> world();
    // The lines of one event: possibly a scripted answer, then one step.
    std::vector<std::string> event();

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
    std::string press();
    std::string valueFor(const std::string& key);

    std::mt19937_64 m_engine;
    const ComponentWorld& m_world;
    std::vector<std::string> m_keys;
    std::vector<std::string> m_instances;
    std::vector<int> m_devices;
    std::vector<std::tuple<int, int, int>> m_names;
    std::vector<std::string> m_panels;
};
