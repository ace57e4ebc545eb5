// Transcript: the readable form of a run's records, one record at a time.
// Steps head their block; under each come the commands the component sent with
// the host's replies, the events raised to the parent, the component's reply,
// its debug output, the breaches and the expectations; the run ends with the
// final state of panel 1 and the summary. A failed expectation marks its first
// differing line, and long texts are shown around their first difference.
#pragma once

#include "records/Records.h"

#include <string>
#include <vector>

// The lines for one record (each ending in a line feed); empty for a record not
// shown. Give-backs are shown only when `verbose`.
std::string renderRecord(const Record& record, bool verbose);
// The lines a finding of a validation check is shown as: a rule's label with
// how often and where it was first broken and what was seen, or the check's
// own text; then how to replay it, when a fuzz run found it. No line feeds.
std::vector<std::string> findingLines(const CheckFinding& finding);
