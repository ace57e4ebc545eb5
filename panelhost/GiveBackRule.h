// Which host replies a component must give back with mode 5: the reply of RN
// always (a null one included), those of SD, XI and TG when they are not null,
// and no other. Every host of ours that audits give-backs asks here.
#pragma once

#include <string>

enum class ReplyOwed { Never, WhenNotNull, Always };

// The rule for a command by its two-letter code.
ReplyOwed replyOwedFor(const std::string& code);

// Whether the reply to a command with this code must come back.
bool replyIsOwed(const std::string& code, bool replyIsNull);
