#include "CommandTable.h"

namespace {

const std::vector<CommandSpec> commands = {
    {"PS", "tt", "t", ReplyOwed::Never, "load a UI file into a panel"},
    {"TP", "ttt", "", ReplyOwed::Never, "set properties of a control"},
    {"TG", "ttt", "", ReplyOwed::WhenNotNull, "read a property of a control"},
    {"HN", "t", "", ReplyOwed::Never, "raise an event to the parent panel"},
    {"RN", "nnn", "", ReplyOwed::Always, "look up an entry of a router database"},
    {"SD", "t", "", ReplyOwed::WhenNotNull, "resolve an instance to a device and offset"},
    {"XI", "tt", "", ReplyOwed::WhenNotNull, "list the controls of a panel by prefix"},
    {"RR", "nnn", "t", ReplyOwed::Never, "register for a router's revertives"},
    {"RU", "n", "", ReplyOwed::Never, "unregister from a router"},
    {"ET", "n", "", ReplyOwed::Never, "stop a host timer"},
    {"AS", "", "", ReplyOwed::Never, "the shutdown notice"},
};

} // namespace

const std::vector<CommandSpec>& allCommands() {
    return commands;
}

const CommandSpec* findCommand(const std::string& code) {
    for (const CommandSpec& spec : commands) {
        if (code == spec.code) {
            return &spec;
        }
    }
    return nullptr;
}

ReplyOwed replyOwedFor(const std::string& code) {
    const CommandSpec* spec = findCommand(code);
    return spec != nullptr ? spec->owed : ReplyOwed::Never;
}

bool replyIsOwed(const std::string& code, bool replyIsNull) {
    const ReplyOwed owed = replyOwedFor(code);
    return owed == ReplyOwed::Always || (owed == ReplyOwed::WhenNotNull && !replyIsNull);
}
