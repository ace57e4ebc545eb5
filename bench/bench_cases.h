// BenchCases: every measured operation beside its baseline, in one table that the
// benchmark and the instruction counter both use, so that both measure the same
// thing. Each parent-command case drives its own component (made through the
// library's export, with a NullHost) so that no case changes another's state; a
// case whose command changes the state alternates between two texts that undo
// each other, and its baseline replays the traffic each text caused.
#pragma once

#include "ConfigFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct BenchCase {
    std::string name;
    std::function<void()> run;
    std::function<void()> baseline;
};

class BenchCases {
public:
    BenchCases();
    ~BenchCases();
    BenchCases(const BenchCases&) = delete;
    BenchCases& operator=(const BenchCases&) = delete;

    const std::vector<BenchCase>& all() const { return m_cases; }
    // The case of that name, or null.
    const BenchCase* find(const std::string& name) const;

private:
    struct CommandCase;
    void addTextCases();
    void addCommandCase(const std::string& name, std::vector<std::string> texts);

    ConfigFolder m_config; // the package object "pkg": two levels, drivers 10,20,30,40
    std::vector<std::unique_ptr<CommandCase>> m_commandCases;
    std::vector<BenchCase> m_cases;
};
