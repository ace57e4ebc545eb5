// TerminalSession: the child's side of -i at a terminal. It reads lines typed at
// standard input and plays each at once into the session: a prompt before each
// line, "help", "show", a line that is not in the language refused without
// ending the session, and "quit". Everything it has to say goes out as records
// (TerminalRecord), which the parent shows.
#pragma once

class RecordSink;
class Session;

void converse(Session& session, RecordSink& sink);
