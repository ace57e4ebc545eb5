#include "GiveBackRule.h"

ReplyOwed replyOwedFor(const std::string& code) {
    if (code == "RN") {
        return ReplyOwed::Always;
    }
    if (code == "SD" || code == "XI" || code == "TG") {
        return ReplyOwed::WhenNotNull;
    }
    return ReplyOwed::Never;
}

bool replyIsOwed(const std::string& code, bool replyIsNull) {
    const ReplyOwed owed = replyOwedFor(code);
    return owed == ReplyOwed::Always || (owed == ReplyOwed::WhenNotNull && !replyIsNull);
}
