#include "HostEvents.h"

#include "CommandText.h"
#include "host_records.h"

#include <cstdint>
#include <vector>

namespace {

// What a host passes with a revertive: the router's report of a crosspoint.
// Components of this kind do not read it; it is there so the pointer is real.
struct RevertiveRecord {
    std::int32_t device;
    std::int32_t destination;
    std::int32_t source;
};

} // namespace

namespace host_events {

char* parentCommand(tarn_client_callback& component, const char* text) {
    // The component reads the text and keeps nothing of it.
    return component.handleHostEvent(const_cast<char*>(text), HostEventParentCommand);
}

char* giveBack(tarn_client_callback& component, char* reply) {
    return component.handleHostEvent(reply, HostEventReplyGivenBack);
}

char* press(tarn_client_callback& component, const char* panel, const char* control,
            const char* eventText) {
    CommandText event(eventText);
    ButtonEventRecord record = {0, 0, panel, control, &event};
    return component.handleHostEvent(&record, HostEventButton);
}

char* databaseChange(tarn_client_callback& component, int device, int database, int index,
                     const std::string& name) {
    // The name is stored in the record itself, up to its NUL, whatever its length.
    std::vector<std::int32_t> storage(DatabaseChangeRecord::wordsFor(name.size()));
    return component.handleHostEvent(
        placeDatabaseChangeRecord(storage.data(), device, database, index, name.c_str()),
        HostEventDatabaseChange);
}

char* timer(tarn_client_callback& component, int id) {
    return component.handleHostEvent(reinterpret_cast<void*>(static_cast<std::intptr_t>(id)),
                                     HostEventTimer);
}

char* revertive(tarn_client_callback& component, int device, int destination, int source) {
    RevertiveRecord record = {device, destination, source};
    return component.handleHostEvent(&record, HostEventRevertive);
}

char* aux(tarn_client_callback& component, void* data) {
    return component.handleHostEvent(data, HostEventAux);
}

char* raw(tarn_client_callback& component, void* data, int type) {
    return component.handleHostEvent(data, type);
}

} // namespace host_events
