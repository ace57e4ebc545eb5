// UnknownControl: a line of a person's scenario that presses or reads a
// control which no panel of the instance has (no layout loaded holds it, no fact
// made it) cannot mean what it says: the host never delivers such a press, and
// no such property can be read. It is a problem of the scenario, said with the
// nearest name the world knows, so that a slip of the keyboard shows at once
// instead of being played in silence.
#pragma once

#include "host/Panels.h"
#include "records/Records.h"

#include <optional>
#include <string>

// The problem of line `line` naming `control` of `panel`; none when `panels`
// (the instance's) have that control.
std::optional<ProblemRecord> unknownControl(const Panels& panels, int line,
                                            const std::string& panel, const std::string& control);
