// Transcript: the readable form of a run's records, one record at a time.
// Steps head their block; under each come the commands the component sent with
// the host's replies, the events raised to the parent, the component's reply,
// its debug output, the breaches and the expectations; the run ends with the
// final state of panel 1 and the summary.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The lines for one record (each ending in a line feed); empty for a record not
// shown. Give-backs are shown only when `verbose`.
std::string renderRecord(const nlohmann::json& record, bool verbose);
