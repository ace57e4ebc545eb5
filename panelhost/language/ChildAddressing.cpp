#include "language/ChildAddressing.h"

#include "language/Keywords.h"
#include "language/Text.h"

#include <algorithm>

namespace {

bool fail(ScenarioError& error, const Item& item, const std::string& message) {
    error = ScenarioError{item.line, 0, message};
    return false;
}

} // namespace

bool ChildAddressing::known(const Item& item, ScenarioError& error) const {
    if (m_children.empty()) {
        return fail(error, item,
                    "the scenario names no child, so a line cannot be addressed to one (name "
                    "them first: child NAME)");
    }
    if (item.every ||
        std::find(m_children.begin(), m_children.end(), item.instance) != m_children.end()) {
        return true;
    }
    std::string names;
    for (const std::string& name : m_children) {
        names += (names.empty() ? "" : ", ") + name;
    }
    return fail(error, item,
                "no child " + printable(item.instance) + "; the children are " + names);
}

bool ChildAddressing::resolve(Item& item, ScenarioError& error) {
    if (const Fact* fact = std::get_if<Fact>(&item.what)) {
        if (fact->kind == Fact::Kind::Child) {
            if (item.addressed) {
                return fail(error, item, "a child line names a child and is addressed to none");
            }
            if (m_stepSeen && m_children.empty()) {
                return fail(error, item,
                            "the first child is named after steps that played the component "
                            "unnamed: name the children before the first step");
            }
            if (std::find(m_children.begin(), m_children.end(), fact->object) != m_children.end()) {
                return fail(error, item, "child " + fact->object + " is already named");
            }
            m_children.push_back(fact->object);
            return true;
        }
        if (item.addressed && fact->kind != Fact::Kind::Control) {
            return fail(error, item,
                        std::string("a ") + factWord(fact->kind).word +
                            " line is the host's, shared by every child: it names none");
        }
        return !item.addressed || known(item, error);
    }
    if (std::holds_alternative<Step>(item.what)) {
        if (!item.addressed && !m_children.empty()) {
            return fail(error, item,
                        "the scenario names its children: say which one this step is for "
                        "(NAME: " +
                            std::string(stepWord(std::get<Step>(item.what).kind).word) +
                            " ..., or " + EveryChild + ": ...)");
        }
        if (item.addressed && !known(item, error)) {
            return false;
        }
        m_stepSeen = true;
        m_stepChild = item.instance;
        m_stepEvery = item.every;
        return true;
    }
    if (item.addressed) {
        if (item.every) {
            return fail(error, item, "an expectation is about one child: name it");
        }
        return known(item, error);
    }
    if (m_stepSeen && m_stepEvery) {
        return fail(error, item,
                    "the step before was every child's: say which child this expectation is "
                    "about (NAME: expect ...)");
    }
    item.instance = m_stepChild;
    return true;
}
