#include "child/FedSession.h"

#include "host/Session.h"

#include <iostream>

void playFedLines(Session& session, RecordSink& sink, int firstLine) {
    session.checkWaiting();
    session.setImmediate(true);
    std::string line;
    for (int number = firstLine; session.fatal().empty() && std::getline(std::cin, line);
         ++number) {
        std::optional<Item> item;
        ScenarioError error;
        if (!parseScenarioLine(line, number, item, error)) {
            TerminalRecord refused;
            refused.what = TerminalRecord::What::Error;
            refused.text = error.where();
            sink.emit(refused);
        } else if (item) {
            session.apply(*item);
        }
    }
}
