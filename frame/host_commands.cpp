// The host command channel: each operation builds one command text, sends it with
// mode 0, and deals with the reply as the ownership rule of that command says.
#include "tarn_script_helper.h"

#include "clamped_atoi.h"
#include "command_builder.h"
#include "decodeTARNString.h"

#include <cstdio>
#include <cstring>

namespace {
const char* const textGetMismatch =
    "textGet: value returned \"%1\" was not the value requested \"%2\" (value returned was "
    "\"%3\" from control \"%4\", on panel \"%5\")";
} // namespace

char* tarn_script_helper::sendCommand(const char* text) {
    return host->send(text, ClientHost::Command);
}

void tarn_script_helper::giveBack(char* reply) {
    host->send(reply, ClientHost::GiveBack);
}

bool tarn_script_helper::openPanel(const tarn_string& panel, const tarn_string& file,
                                   const tarn_string& extra) {
    if (host == nullptr) {
        return true;
    }
    const bool inFolder = path.length() != 0;
    const bool withExtra = extra.length() != 0;
    const CommandBuilder command{"PS '",
                                 quotedText(panel),
                                 "' '",
                                 quotedText(inFolder ? static_cast<const char*>(path) : ""),
                                 inFolder ? "/" : "",
                                 quotedText(file),
                                 "'",
                                 withExtra ? " '" : "",
                                 quotedText(withExtra ? static_cast<const char*>(extra) : ""),
                                 withExtra ? "'" : ""};
    if (command.failed()) {
        return false;
    }
    return sendCommand(command.text()) != nullptr;
}

void tarn_script_helper::setProperty(const tarn_string& property, const tarn_string& value,
                                     const tarn_string& panel, const tarn_string& control) {
    if (host == nullptr) {
        return;
    }
    const CommandBuilder command{"TP '", quotedText(property), "=",   quotedText(value),
                                 "' '",  quotedText(panel),    "' '", quotedText(control),
                                 "'"};
    if (!command.failed()) {
        sendCommand(command.text());
    }
}

void tarn_script_helper::setProperties(const tarn_string& assignments, const tarn_string& panel,
                                       const tarn_string& control) {
    if (host == nullptr) {
        return;
    }
    const CommandBuilder command{"TP '", quotedText(assignments), "' '", quotedText(panel),
                                 "' '",  quotedText(control),     "'"};
    if (!command.failed()) {
        sendCommand(command.text());
    }
}

void tarn_script_helper::textGet(const tarn_string& property, const tarn_string& panel,
                                 const tarn_string& control, tarn_string& out) {
    if (host == nullptr) {
        out = "";
        return;
    }
    const CommandBuilder command{"TG '", quotedText(panel),    "' '", quotedText(control),
                                 "' '",  quotedText(property), "'"};
    char* reply = command.failed() ? nullptr : sendCommand(command.text());
    if (reply == nullptr) {
        out = "";
        return;
    }
    const tarn_string whole(reply);
    giveBack(reply);
    if (property == "all") {
        out = whole;
        return;
    }
    tarn_string returnedKey;
    tarn_string returnedValue;
    whole.split('=', returnedKey, returnedValue);
    if (std::strcmp(returnedKey, property) == 0) {
        out = returnedValue;
        return;
    }
    const tarn_string none;
    debugFormat(textGetMismatch, returnedKey, property, whole, control, panel, none, none, none,
                none);
    out = "";
}

void tarn_script_helper::raiseEvent(const tarn_string& text) {
    if (host == nullptr) {
        return;
    }
    const CommandBuilder command{"HN '", quotedText(text), "'"};
    if (!command.failed()) {
        sendCommand(command.text());
    }
}

void tarn_script_helper::lookupName(int device, int database, int index, tarn_string& out) {
    if (host == nullptr) {
        return;
    }
    const tarn_string command = tarn_string("RN %1 %2 %3")
                                    .arg(device, 0, 0, 10)
                                    .arg(database, 0, 0, 10)
                                    .arg(index, 0, 0, 10);
    char* reply = sendCommand(command);
    if (reply != nullptr) {
        out = reply;
    }
    // The host expects every RN reply back, a null one included.
    giveBack(reply);
}

bool tarn_script_helper::resolveInstance(tarn_string instance, int* device, int* offset) {
    if (device != nullptr) {
        *device = 0;
    }
    if (offset != nullptr) {
        *offset = 0;
    }
    if (host == nullptr) {
        return false;
    }
    const CommandBuilder command{"SD '", quotedText(instance), "'"};
    char* reply = command.failed() ? nullptr : sendCommand(command.text());
    if (reply == nullptr) {
        return false;
    }
    const decodeTARNString words(reply, '\'');
    if (device != nullptr) {
        *device = clamped_atoi(words.tokens[0]);
    }
    if (offset != nullptr) {
        *offset = clamped_atoi(words.tokens[1]);
    }
    giveBack(reply);
    return true;
}

tarn_stringlist tarn_script_helper::listControls(const tarn_string& panel,
                                                 const tarn_string& prefix) {
    if (host == nullptr) {
        return tarn_stringlist();
    }
    const CommandBuilder command{"XI '", quotedText(panel), "' '", quotedText(prefix), "'"};
    char* reply = command.failed() ? nullptr : sendCommand(command.text());
    if (reply == nullptr) {
        return tarn_stringlist();
    }
    tarn_stringlist controls(tarn_string(reply), ',');
    giveBack(reply);
    return controls;
}

void tarn_script_helper::registerRouter(int device, int first, int last, bool add) {
    if (host == nullptr) {
        return;
    }
    // Sized for three numbers of any int value and the 'ADD' ending, so the
    // command is never cut.
    char command[64];
    std::snprintf(command, sizeof command, add ? "RR %d %d %d 'ADD'" : "RR %d %d %d", device, first,
                  last);
    sendCommand(command);
}

void tarn_script_helper::unregisterRouter(int device) {
    if (host == nullptr) {
        return;
    }
    char command[32];
    std::snprintf(command, sizeof command, "RU %d", device);
    sendCommand(command);
}

void tarn_script_helper::stopTimer(int id) {
    if (host == nullptr) {
        return;
    }
    char command[32];
    std::snprintf(command, sizeof command, "ET %d", id);
    sendCommand(command);
}
