// Quillon: the script component behind one destination button of a package
// router with two control levels. It names its destination on the button
// ("myDest"), raises the selection to its parent panel when pressed, shows
// whether it is the parent's current selection, and wires the tally controls
// "tally_L1" and "tally_L2" to the driver and destination of the package levels
// it shows. Parent commands configure it and assign its destination.
#pragma once

#include "tarn_script_helper.h"
#include "tarn_string.h"
#include "tarn_stringlist.h"

class Quillon : public tarn_script_helper {
public:
    // Loads "quillon.tarn_ui" into panel 1; nothing else is sent.
    Quillon(ClientHost* host, const char* path);
    // Unregisters a resolved router; the base then sends "AS".
    ~Quillon() override;

    void onButton(ButtonNotify* event) override;
    int onRevertive(RevertiveNotify* event) override;
    tarn_string onParentCommand(ParentCommandNotify* command) override;
    void onTimer(int id) override;
    void onDatabaseChange(DatabaseNotify* event) override;

private:
    bool hasDestination() const;
    void select(const tarn_string& value);
    void assignInstance(const tarn_string& value);
    void setNamesDatabase(const tarn_string& value);
    void showName();
    tarn_string settingsList() const;

    void discoverLevels();
    void wireLevel(int level, int levelCount, tarn_stringlist& drivers, int& driver, int& dest);

    tarn_string instance;
    tarn_string matrixObject;
    tarn_string useLevels;
    tarn_string buttonLow;
    tarn_string buttonHigh;
    tarn_string tallyStateL1;
    tarn_string tallyStateL2;
    tarn_string unusedLevelText;
    int device;
    int destIndex;
    int namesDatabase;
    int levelMapDriver;
    int level1;
    int level2;
    int level1Driver;
    int level2Driver;
    int level1Dest;
    int level2Dest;
    bool selected;
};
