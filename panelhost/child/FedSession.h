// FedSession: the child's side of a live session. Once the scenario it began
// with is played, it plays each line its parent sends to its standard input as
// soon as the line comes, numbered on from `firstLine` as the parent numbered
// it, each expectation checked at once, each addressed to its child as
// `addressing` (where the scenario left it) says. The parent has refused what
// is not in the language or not addressed as it may be already; a line that
// still is not is reported as a terminal session reports it. It ends when the
// parent closes its input.
#pragma once

class ChildAddressing;
class RecordSink;
class Session;

void playFedLines(Session& session, RecordSink& sink, int firstLine, ChildAddressing& addressing);
