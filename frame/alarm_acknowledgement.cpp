// Alarm acknowledgement: the "ActionAll" and "AckAll" controls act on every alarm
// control ("alm_" prefix) of panel 1 at once while the component's alarm mode is on.
#include "tarn_script_helper.h"

namespace {
const int acknowledgeLevel = 4;
const int noLevel = -1;

// A read-back of 0 or of 2 to 5 is left as it is; anything else is acknowledged.
bool keepsValue(int value) {
    return value == 0 || (value >= 2 && value <= 5);
}
} // namespace

bool tarn_script_helper::routeAlarmButton(const ButtonNotify& event) {
    const tarn_string control = event.control();
    if (control == "ActionAll" && event.eventKey() == "alarm") {
        acknowledgeAlarms(event.eventValue());
        return true;
    }
    if (control == "AckAll") {
        acknowledgeAlarms("4");
        return true;
    }
    return false;
}

void tarn_script_helper::acknowledgeAlarms(const tarn_string& argument) {
    int level = noLevel;
    if (argument == "ack") {
        level = acknowledgeLevel;
    } else if (argument.length() == 1) {
        level = argument.toInt();
    }
    const tarn_string panel(1, 0, 0, 10);
    const tarn_string alarm("alarm");
    const tarn_string value("value");
    const tarn_stringlist controls = listControls(panel, "alm_");
    for (tarn_stringlistIterator it = controls.begin(); it != controls.end(); ++it) {
        const tarn_string& control = *it;
        setProperty(alarm, argument, panel, control);
        if (level == acknowledgeLevel) {
            tarn_string current;
            textGet(value, panel, control, current);
            if (!keepsValue(current.toInt())) {
                setProperty(value, tarn_string(acknowledgeLevel, 0, 0, 10), panel, control);
            }
        } else if (level != noLevel) {
            setProperty(value, tarn_string(level, 0, 0, 10), panel, control);
        }
    }
}
