#include "child/TerminalSession.h"

#include "host/Session.h"
#include "language/ChildAddressing.h"
#include "language/Text.h"

#include <iostream>

namespace {

TerminalRecord note(TerminalRecord::What what, const std::string& text = std::string()) {
    TerminalRecord record;
    record.what = what;
    record.text = text;
    return record;
}

} // namespace

void converse(Session& session, RecordSink& sink) {
    session.setImmediate(true);
    sink.emit(note(TerminalRecord::What::Begin));
    std::string line;
    int number = 0;
    ChildAddressing addressing;
    for (;;) {
        sink.emit(note(TerminalRecord::What::Prompt));
        if (!session.fatal().empty() || !std::getline(std::cin, line)) {
            return;
        }
        ++number;
        const std::string word = trim(line);
        if (word == "quit" || word == "exit") {
            return;
        }
        if (word == "help" || word == "?") {
            sink.emit(note(TerminalRecord::What::Help));
            continue;
        }
        if (word == "show") {
            session.emitShow();
            continue;
        }
        std::optional<Item> item;
        ScenarioError lineError;
        if (!parseScenarioLine(line, number, item, lineError) ||
            (item && !addressing.resolve(*item, lineError))) {
            sink.emit(note(TerminalRecord::What::Error, lineError.where()));
        } else if (item) {
            session.apply(*item);
        }
    }
}
