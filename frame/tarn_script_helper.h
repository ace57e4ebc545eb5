// tarn_script_helper: the base class of every script component. It keeps the host
// connection, turns each host event into a call of one virtual handler, hands
// parent-command replies to the host and takes them back, offers the operations
// by which a component asks the host for things, and sends the shutdown notice
// "AS" when the component is destroyed.
//
// Every host operation sends one command text with send(text, 0) and, where it
// reads the reply, gives the reply back with send(reply, 5) before it returns.
// Without a host (host is null) nothing is sent and each operation takes its
// fixed outcome, stated at its declaration. A single quote inside any text that a
// command puts between quotes is replaced (command_builder.h), so no argument can
// change the shape of the command it is sent in.
#pragma once

#include "ButtonNotify.h"
#include "ClientHost.h"
#include "DatabaseNotify.h"
#include "ParentCommandNotify.h"
#include "PassThroughNotify.h"
#include "tarn_client_callback.h"
#include "tarn_string.h"
#include "tarn_stringlist.h"

class tarn_script_helper : public tarn_client_callback {
public:
    // `host` is the host's, stored unchanged, possibly null, never released.
    // `path` is copied; it is the folder of the component's UI files. Sends nothing.
    tarn_script_helper(ClientHost* host, const char* path);
#if TARN_MICROSOFT_TABLE_BY_HAND
    // The host's slot 0 (tarn_client_callback.h): runs the destructor below
    // through the table, so the component's own runs first, and frees the object
    // when bit 0 of `flags` is set.
    void* TARN_THISCALL scalarDeletingDestructor(unsigned flags) override;
    // Sends "AS" (when there is a host) as the last text the host receives.
    virtual ~tarn_script_helper();
#else
    // Sends "AS" (when there is a host) as the last text the host receives.
    ~tarn_script_helper() override;
#endif
    tarn_script_helper(const tarn_script_helper&) = delete;
    tarn_script_helper& operator=(const tarn_script_helper&) = delete;

    // The dispatcher. A null record with a button or database-change event is
    // dropped; unknown types are ignored. Returns null, or for a parent command
    // with a non-empty reply an array allocated here that the host gives back
    // with type 5.
    char* TARN_THISCALL handleHostEvent(void* data, int type) override;

    // The handlers; each runs inside one handleHostEvent call, and the view and
    // the record behind it are valid only during that call.
    virtual void onButton(ButtonNotify* event) = 0;
    virtual int onRevertive(RevertiveNotify* event) = 0;
    virtual tarn_string onParentCommand(ParentCommandNotify* command) = 0;
    virtual void onAuxEvent(AuxNotify* event);
    virtual void onTimer(int id) = 0;
    virtual void onDatabaseChange(DatabaseNotify* event);

    // PS: loads a UI file from `path` into a panel. True when the host replied
    // (the reply is only tested); without host true.
    bool openPanel(const tarn_string& panel, const tarn_string& file, const tarn_string& extra);
    // TP: sets one property of a control. The reply is ignored.
    void setProperty(const tarn_string& property, const tarn_string& value,
                     const tarn_string& panel, const tarn_string& control);
    // TP: sets the "property=value" assignments of a control. The reply is ignored.
    void setProperties(const tarn_string& assignments, const tarn_string& panel,
                       const tarn_string& control);
    // TG: reads one property of a control into `out`; "all" reads the whole reply.
    // A reply for another property writes a diagnostic. Without host or reply, or
    // on a mismatch, `out` is the empty text.
    void textGet(const tarn_string& property, const tarn_string& panel, const tarn_string& control,
                 tarn_string& out);
    // HN: raises an event to the parent panel. The reply is ignored.
    void raiseEvent(const tarn_string& text);
    // RN: looks up an entry of a router database into `out`; without host or
    // reply `out` is unchanged. The reply is given back even when it is null.
    void lookupName(int device, int database, int index, tarn_string& out);
    // SD: resolves an instance name to a device and an offset (each stored through
    // its pointer when not null, 0 first). True when the host replied.
    bool resolveInstance(tarn_string instance, int* device, int* offset);
    // XI: the controls of a panel whose names begin with `prefix`, in the host's
    // order; empty without host or reply.
    tarn_stringlist listControls(const tarn_string& panel, const tarn_string& prefix);
    // RR: registers for a router's revertives. The reply is ignored.
    void registerRouter(int device, int first, int last, bool add);
    // RU: unregisters from a router. The reply is ignored.
    void unregisterRouter(int device);
    // ET: stops a host timer. The reply is ignored.
    void stopTimer(int id);

    // One setting of a package object from the framework's object settings; the
    // first child whose "id" is `key` wins; empty when there is none.
    tarn_string getObjectSetting(const tarn_string& object, const tarn_string& key);
    // Writes the text unchanged to the debugger output.
    void debugPrint(const tarn_string& text);
    // Fills the markers of `format` with the nine texts, lowest marker first, and
    // writes the result to the debugger output.
    void debugFormat(const tarn_string& format, const tarn_string& a1, const tarn_string& a2,
                     const tarn_string& a3, const tarn_string& a4, const tarn_string& a5,
                     const tarn_string& a6, const tarn_string& a7, const tarn_string& a8,
                     const tarn_string& a9);

    // Sets every "alm_" control of panel 1 for `argument`: "ack" or the one
    // character 4 acknowledges, another single character is a level to write,
    // anything else only sets the controls' "alarm" property.
    void acknowledgeAlarms(const tarn_string& argument);

protected:
    ClientHost* host; // the host's object; may be null; not owned
    tarn_string path; // folder of the UI files
    bool alarmMode;   // routes "ActionAll"/"AckAll" presses to acknowledgeAlarms

private:
    char* sendCommand(const char* text);
    void giveBack(char* reply);
    char* answerParentCommand(const char* text);
    // The alarm routing of a button event; true when it took the event.
    bool routeAlarmButton(const ButtonNotify& event);
};
