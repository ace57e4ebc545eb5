// The package objects' settings, read from the framework's configuration.
#include "tarn_script_helper.h"

#include "tarn_config.h"

tarn_string tarn_script_helper::getObjectSetting(const tarn_string& object,
                                                 const tarn_string& key) {
    // Opened afresh on every call, so a changed configuration is seen at once. The
    // node name is joined in one step: the format text alone is too long to be
    // kept inline, so filling it would cost a second allocation.
    tarn_config settings("object_settings." + object);
    const tarn_string id("id");
    for (; settings.isChildValid(); settings.nextChild()) {
        if (settings.childAttr(id) == key) {
            return settings.childAttr("value");
        }
    }
    return tarn_string();
}
