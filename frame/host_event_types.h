// The host event types that handleHostEvent receives.
#pragma once

enum HostEventType {
    HostEventRevertive = 1,
    HostEventButton = 2,
    HostEventParentCommand = 3,
    HostEventTimer = 4,
    HostEventReplyGivenBack = 5,
    HostEventDatabaseChange = 6,
    HostEventAux = 7,
};
