// ChildAddressing: which child each line of a scenario is about, decided line by
// line in the order they are read. A scenario that names no child plays one
// unnamed instance and addresses nothing. Once it names children (child NAME,
// before its first step), every step says which child it is for ("A: press 1
// go", or "every: ..." for each), an expectation that names none is about the
// child of the step before it, and a control fact that names none is every
// child's; the other facts are the host's, shared by all, and name none.
#pragma once

#include "language/Scenario.h"

#include <string>
#include <vector>

class ChildAddressing {
public:
    // Whether the next line, `item`, is addressed as it may be; fills in the child
    // of an expectation that names none. False with the reason in `error`.
    bool resolve(Item& item, ScenarioError& error);

    const std::vector<std::string>& children() const { return m_children; }

private:
    bool known(const Item& item, ScenarioError& error) const;

    std::vector<std::string> m_children;
    bool m_stepSeen = false;
    std::string m_stepChild; // the child of the last step
    bool m_stepEvery = false;
};
