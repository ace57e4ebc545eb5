// HostEvents: how our hosts deliver each host event to a component, by name. Each
// builds the event's data the way the host lays it out (host_records.h), keeps it
// alive for the call, and returns the callback's result: null for every type but
// a parent command, whose non-null reply the host must give back with giveBack.
#pragma once

#include "host_event_types.h"
#include "tarn_client_callback.h"

#include <string>

namespace host_events {

// Type 3. `text` may be null.
char* parentCommand(tarn_client_callback& component, const char* text);
// Type 5: hands back a reply that parentCommand returned (null is legal).
char* giveBack(tarn_client_callback& component, char* reply);
// Type 2: a button record with the event text parsed into a CommandText.
char* press(tarn_client_callback& component, const char* panel, const char* control,
            const char* eventText);
// Type 6: a database-change record holding `name` whole, up to its NUL.
char* databaseChange(tarn_client_callback& component, int device, int database, int index,
                     const std::string& name);
// Type 4: the timer id carried in place of the pointer.
char* timer(tarn_client_callback& component, int id);
// Type 1: a revertive record (this system reads nothing of it).
char* revertive(tarn_client_callback& component, int device, int destination, int source);
// Type 7: a host pointer, passed on unread.
char* aux(tarn_client_callback& component, void* data);
// Any type with any data, for the types no host sends (0, 8, -1) and null records.
char* raw(tarn_client_callback& component, void* data, int type);

} // namespace host_events
