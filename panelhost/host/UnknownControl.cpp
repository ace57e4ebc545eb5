#include "host/UnknownControl.h"

#include "language/Text.h"

#include <limits>

std::optional<ProblemRecord> unknownControl(const Panels& panels, int line,
                                            const std::string& panel, const std::string& control) {
    const Panel* named = panels.panel(panel);
    if (named != nullptr && named->layout.find(control) != nullptr) {
        return std::nullopt;
    }
    ProblemRecord problem;
    problem.line = line;
    problem.text = named != nullptr
                       ? "panel " + encodeText(panel) + " has no control " + encodeText(control)
                       : "no panel " + encodeText(panel) + " is loaded, so it has no control " +
                             encodeText(control);
    // The nearest of every control the world has: a slip in the control's name
    // counts, and one in the panel's too.
    std::size_t best = std::numeric_limits<std::size_t>::max();
    for (const auto& entry : panels.all()) {
        const std::size_t off = entry.first == panel ? 0 : editDistance(entry.first, panel);
        for (const Control& each : entry.second.layout.controls) {
            const std::size_t distance = off + editDistance(each.name, control);
            if (distance < best) {
                best = distance;
                problem.nearest = encodeText(entry.first) + " " + encodeText(each.name);
            }
        }
    }
    return problem;
}
