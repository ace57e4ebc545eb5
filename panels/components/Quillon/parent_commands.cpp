// Quillon's parent-command protocol: the settings, the destination assignment,
// the selection and the queries, dispatched by key in a fixed order.
#include "Quillon.h"

#include "panel_names.h"

using quillon::ownPanel;

tarn_string Quillon::onParentCommand(ParentCommandNotify* command) {
    const tarn_string key = command->key();
    const tarn_string value = command->value();

    if (key == "selected") {
        select(value);
        return tarn_string();
    }
    if (key == "return") {
        return value == "all" ? settingsList() : tarn_string();
    }
    // "instance" and the two tally statesheets act only on a changed value; an
    // unchanged one falls through to the empty reply.
    if (key == "instance" && value != instance) {
        assignInstance(value);
        return tarn_string();
    }
    if (key == "matrixobject") {
        matrixObject = value;
        discoverLevels();
        return tarn_string();
    }
    if (key == "uselevels") {
        useLevels = value;
        discoverLevels();
        return tarn_string();
    }
    if (key == "namesDatabase") {
        setNamesDatabase(value);
        return tarn_string();
    }
    if (key == "buttonlow") {
        buttonLow = value;
        if (!selected) {
            setProperty("statesheet", buttonLow, ownPanel(), quillon::destButton);
        }
        return tarn_string();
    }
    if (key == "buttonhigh") {
        buttonHigh = value;
        if (selected) {
            setProperty("statesheet", buttonHigh, ownPanel(), quillon::destButton);
        }
        return tarn_string();
    }
    if (key == "tallystate_L1" && value != tallyStateL1) {
        tallyStateL1 = value;
        setProperty("statesheet", tallyStateL1, ownPanel(), quillon::tallyL1);
        return tarn_string();
    }
    if (key == "tallystate_L2" && value != tallyStateL2) {
        tallyStateL2 = value;
        setProperty("statesheet", tallyStateL2, ownPanel(), quillon::tallyL2);
        return tarn_string();
    }
    if (key == "unusedleveltext") {
        unusedLevelText = value;
        setProperty("unusedtext", unusedLevelText, ownPanel(), quillon::tallyL1);
        setProperty("unusedtext", unusedLevelText, ownPanel(), quillon::tallyL2);
        return tarn_string();
    }
    if (key == "_events") {
        tarn_stringlist events;
        events << "selected=*";
        return events.toString('\n');
    }
    if (key == "_commands") {
        tarn_stringlist commands;
        commands << "selected=[value]";
        return commands.toString('\n');
    }
    return tarn_string();
}

void Quillon::select(const tarn_string& value) {
    if (value == "-1" && selected) {
        setProperty("statesheet", buttonLow, ownPanel(), quillon::destButton);
        selected = false;
    } else if (value.toInt() == destIndex && !selected && hasDestination()) {
        // An unresolved button (destIndex -1) never takes "-1", which means no
        // selection, as its own.
        setProperty("statesheet", buttonHigh, ownPanel(), quillon::destButton);
        selected = true;
    } else if (value.toInt() != destIndex && selected) {
        setProperty("statesheet", buttonLow, ownPanel(), quillon::destButton);
        selected = false;
    }
}

void Quillon::assignInstance(const tarn_string& value) {
    // At most one router is registered at a time: the old one goes first, even
    // when the new instance then fails to resolve.
    if (device >= 1 && device <= 999) {
        unregisterRouter(device);
    }
    instance = value;
    device = 0;
    destIndex = -1;

    int resolvedDevice = 0;
    int offset = 0;
    resolveInstance(instance, &resolvedDevice, &offset);
    if (resolvedDevice >= 1 && resolvedDevice <= 999 && offset >= 1) {
        device = resolvedDevice;
        destIndex = offset;
        showName();
        registerRouter(device, 1, 1, false);
        discoverLevels();
        return;
    }
    setProperties("text=Unknown|Destination", ownPanel(), quillon::destButton);
    setProperty("statesheet", buttonLow, ownPanel(), quillon::destButton);
    raiseEvent("selection=-1");
}

void Quillon::setNamesDatabase(const tarn_string& value) {
    const int database = value.toInt();
    if (database <= 0) {
        return;
    }
    namesDatabase = database;
    if (hasDestination()) {
        showName();
    }
}

void Quillon::showName() {
    tarn_string name;
    lookupName(device, namesDatabase, destIndex, name);
    setProperty("text", name, ownPanel(), quillon::destButton);
}

tarn_string Quillon::settingsList() const {
    tarn_stringlist settings;
    settings << tarn_string("matrixobject=%1").arg(matrixObject)
             << tarn_string("uselevels=%1").arg(useLevels)
             << tarn_string("namesDatabase=%1").arg(namesDatabase, 0, 0, 10)
             << tarn_string("buttonlow=%1").arg(buttonLow)
             << tarn_string("buttonhigh=%1").arg(buttonHigh)
             << tarn_string("tallystate_L1=%1").arg(tallyStateL1)
             << tarn_string("tallystate_L2=%1").arg(tallyStateL2)
             << tarn_string("unusedleveltext=%1").arg(unusedLevelText);
    return settings.toString('\n');
}
