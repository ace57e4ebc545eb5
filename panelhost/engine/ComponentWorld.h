// ComponentWorld: a component's world as the component itself shows it, which
// validate and fuzz play in. It holds the panels the component loads (PS) with
// the controls and properties of their layouts, the controls its XI lookups ask
// for, the parent-command keys its "_commands" and "return=all" answers list with
// the values they hint, and the instances, names and routers it asks the host
// about (SD, RN, RR). Nothing of any one component is written into panelhost: a
// probe of the component fills this in (WorldProbe), one record at a time, and
// the checks and the fuzz generator read it.
#pragma once

#include "records/Records.h"

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// Parent-command keys with the value hints the component gave for each.
using CommandKeys = std::map<std::string, std::vector<std::string>>;

struct ComponentWorld {
    struct Control {
        std::string name;
        std::vector<std::string> properties;
        bool madeUp = false; // not in a layout: made by the host for an XI lookup
    };
    struct Panel {
        std::string file; // the layout PS loaded into it
        std::vector<Control> controls;
    };

    CommandKeys keys;
    std::map<std::string, Panel> panels;
    std::set<std::pair<std::string, std::string>> lookups; // XI: panel, prefix
    std::set<std::string> instances;                       // SD: the names asked
    std::set<std::tuple<int, int, int>> names;             // RN: device, database, index
    std::set<int> routers;                                 // RR: devices registered
    std::set<std::string> instanceKeys; // keys whose values the component resolves with SD

    // The key by which a host names the destination of every component.
    static const char* const InstanceKey;

    // Keys and hints read from a "_commands" or "return=all" answer: one
    // "key=value" entry per line; "[a|b]" names choices, "[value]" none.
    static void addKeys(const std::string& reply, CommandKeys& keys);

    // The instance names a host gives: those the component asked about, and two
    // the host makes up.
    std::vector<std::string> instanceNames() const;
    // The devices a host answers with: those the component used, else a few of the host's.
    std::vector<int> devices() const;
    // Every control of every panel, layouts and made-up ones: panel, control.
    std::vector<std::pair<std::string, std::string>> controls() const;

    // The world as scenario facts: the made-up controls, every instance resolved,
    // every name looked up known.
    std::vector<std::string> facts() const;

    bool operator==(const ComponentWorld& other) const;
};

// WorldProbe: learns a ComponentWorld from the records of a run that played
// the component. Layout files named by PS are read from where the component
// said they are.
class WorldProbe {
public:
    explicit WorldProbe(ComponentWorld& world) : m_world(world) {}
    void see(const Record& record);

private:
    void sent(const std::string& command);
    void control(const std::string& panel, const std::string& name, const std::string& property);

    ComponentWorld& m_world;
    std::string m_query;   // the open step's parent-command text ("" when none)
    std::string m_valueOf; // its key, when it has one
    std::string m_value;   // and its value
};
