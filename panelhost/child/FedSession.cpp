#include "child/FedSession.h"

#include "host/Session.h"
#include "language/ChildAddressing.h"

#include <iostream>

void playFedLines(Session& session, RecordSink& sink, int firstLine, ChildAddressing& addressing) {
    session.checkWaiting();
    session.setImmediate(true);
    std::string line;
    for (int number = firstLine; session.fatal().empty() && std::getline(std::cin, line);
         ++number) {
        std::optional<Item> item;
        ScenarioError error;
        if (!parseScenarioLine(line, number, item, error) ||
            (item && !addressing.resolve(*item, error))) {
            TerminalRecord refused;
            refused.what = TerminalRecord::What::Error;
            refused.text = error.where();
            sink.emit(refused);
        } else if (item) {
            session.apply(*item);
        }
    }
}
