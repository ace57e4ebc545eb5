// The package objects' settings, read from the framework's configuration.
#include "tarn_script_helper.h"

#include "tarn_config.h"

tarn_string tarn_script_helper::getObjectSetting(const tarn_string& object,
                                                 const tarn_string& key) {
    // Opened afresh on every call, so a changed configuration is seen at once.
    tarn_config settings(tarn_string("object_settings.%1").arg(object));
    const tarn_string id("id");
    for (; settings.isChildValid(); settings.nextChild()) {
        if (settings.childAttr(id) == key) {
            return settings.childAttr("value");
        }
    }
    return tarn_string();
}
