// Quillon's package level discovery: which driver and which destination number
// stand behind this destination on each shown level, handed to the two tallies.
#include "Quillon.h"

#include "panel_names.h"

#include <climits>

using quillon::ownPanel;

namespace {
// An entry of a list by a position computed from settings, which may lie outside
// the list or even outside the int range: such a position reads the list's empty
// entry like any other position outside it.
tarn_string& entryAt(tarn_stringlist& list, long long position) {
    if (position < INT_MIN || position > INT_MAX) {
        return list[-1];
    }
    return list[static_cast<int>(position)];
}
} // namespace

void Quillon::discoverLevels() {
    if (instance.length() == 0 || matrixObject.length() == 0 || useLevels.length() == 0) {
        return;
    }
    const int levelCount = getObjectSetting(matrixObject, "package_levels").toInt();
    if (levelCount < 2) {
        debugPrint("Insufficient levels defined in this package object. Unable to extract "
                   "levels\n");
        return;
    }
    tarn_stringlist drivers(getObjectSetting(matrixObject, "driver_ids"), ',');
    levelMapDriver = drivers[1].toInt();

    tarn_stringlist shown(useLevels, ',');
    if (shown.count() > 2) {
        debugPrint(tarn_string("Too many levels in the uselevels parameter. Expected maximum of "
                               "two, received %1\n")
                       .arg(shown.count(), 0, 0, 10));
        return;
    }
    level1 = shown[0];
    level2 = shown.count() == 2 ? static_cast<int>(shown[1]) : 0;

    wireLevel(level1, levelCount, drivers, level1Driver, level1Dest);
    wireLevel(level2, levelCount, drivers, level2Driver, level2Dest);

    const tarn_string panel = ownPanel();
    setProperty("driverid", tarn_string(level1Driver, 0, 0, 10), panel, quillon::tallyL1);
    setProperty("destid", tarn_string(level1Dest, 0, 0, 10), panel, quillon::tallyL1);
    setProperty("driverid", tarn_string(level2Driver, 0, 0, 10), panel, quillon::tallyL2);
    setProperty("destid", tarn_string(level2Dest, 0, 0, 10), panel, quillon::tallyL2);
}

void Quillon::wireLevel(int level, int levelCount, tarn_stringlist& drivers, int& driver,
                        int& dest) {
    if (level == 0) {
        driver = 0;
        dest = -1;
        return;
    }
    if (level > levelCount) {
        return; // keeps what an earlier discovery gave this level
    }
    driver = entryAt(drivers, static_cast<long long>(level) + 1);
    // Each shown level fetches the level destination list on its own.
    tarn_string levelDests;
    lookupName(levelMapDriver, 1, destIndex, levelDests);
    tarn_stringlist dests(levelDests, ',');
    const tarn_string& entry = entryAt(dests, static_cast<long long>(level) - 1);
    dest = entry == "-" ? -1 : entry.toInt();
}
