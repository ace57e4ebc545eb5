// Quillon's state, lifecycle and panel events.
#include "Quillon.h"

#include "panel_names.h"

namespace quillon {
const char* const destButton = "myDest";
const char* const tallyL1 = "tally_L1";
const char* const tallyL2 = "tally_L2";
} // namespace quillon

using quillon::ownPanel;

Quillon::Quillon(ClientHost* clientHost, const char* uiPath)
    : tarn_script_helper(clientHost, uiPath), unusedLevelText("Unused Level"), device(0),
      destIndex(-1), namesDatabase(1), levelMapDriver(0), level1(0), level2(0), level1Driver(0),
      level2Driver(0), level1Dest(-1), level2Dest(-1), selected(false) {
    // Whether the host found the file changes nothing for the component.
    openPanel(ownPanel(), "quillon.tarn_ui", tarn_string());
}

Quillon::~Quillon() {
    if (device > 0) {
        unregisterRouter(device);
    }
}

bool Quillon::hasDestination() const {
    return device >= 1 && device <= 999 && destIndex >= 1;
}

void Quillon::onButton(ButtonNotify* event) {
    if (!(event->panel() == 1)) {
        return;
    }
    if (!(event->control() == quillon::destButton)) {
        return;
    }
    // Destinations 0 and 1 raise nothing, nor does an unresolved button (-1).
    if (destIndex <= 1) {
        return;
    }
    raiseEvent(tarn_string("selected=%1").arg(destIndex, 0, 0, 10));
}

int Quillon::onRevertive(RevertiveNotify*) {
    return 0;
}

void Quillon::onTimer(int id) {
    // The component starts no timers, so whatever fires here is stopped.
    stopTimer(id);
}

void Quillon::onDatabaseChange(DatabaseNotify* event) {
    if (event->device() != device || event->database() != namesDatabase ||
        event->index() != destIndex) {
        return;
    }
    setProperty("text", event->name(), ownPanel(), quillon::destButton);
}
