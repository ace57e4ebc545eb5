// CommandTable: the host's one table of the commands a component may send: the
// code, the kinds of its arguments, and whether the component owes the reply
// back (ClientHost.h states that rule). The syntax audit, the simulated world,
// the reply ledger and the fuzz generator all read it from here.
#pragma once

#include <string>
#include <vector>

enum class ReplyOwed {
    Never,       // the reply stays the host's: PS, TP, HN, RR, RU, ET, AS
    WhenNotNull, // SD, XI, TG: a reply that came must come back
    Always,      // RN: back even when there was none (a null give-back)
};

struct CommandSpec {
    const char* code;     // two capital letters
    const char* required; // one letter per argument: 't' a quoted text, 'n' a bare number
    const char* optional; // trailing arguments that may be left out
    ReplyOwed owed;
    const char* meaning;
};

// Every command the host knows, in a fixed order.
const std::vector<CommandSpec>& allCommands();
// The command with this code; null for a code the host does not know.
const CommandSpec* findCommand(const std::string& code);

// How the reply to a command with this code must come back (Never for unknown codes).
ReplyOwed replyOwedFor(const std::string& code);
// Whether the reply to a command with this code must come back.
bool replyIsOwed(const std::string& code, bool replyIsNull);
