// The host event types that handleHostEvent(data, type) receives, with what
// `data` is for each. Every record is the host's: laid out by it (host_records.h),
// owned by it and valid only during the call. Any other type is ignored and
// answered with null.
#pragma once

enum HostEventType {
    // A revertive from a registered router: the host's revertive record, which
    // this system does not read. Result: null.
    HostEventRevertive = 1,
    // A button event: a ButtonEventRecord. Result: null.
    HostEventButton = 2,
    // A parent command: the NUL-terminated text key.sub.sub=value; may be null.
    // Result: null, or the component's reply, allocated inside the library, which
    // the host MUST give back once with type 5.
    HostEventParentCommand = 3,
    // A host timer fired: the timer id, an integer carried in place of the pointer.
    // Result: null.
    HostEventTimer = 4,
    // A reply given back: a pointer that an earlier type-3 event returned (null is
    // ignored). The library releases it. Result: null.
    HostEventReplyGivenBack = 5,
    // An entry of a router database changed: a DatabaseChangeRecord. Result: null.
    HostEventDatabaseChange = 6,
    // An auxiliary event: a host pointer, passed on unread. Result: null.
    HostEventAux = 7,
};
