// tarn_client_callback: the interface through which the panel host drives a
// component. The host receives the object from the factory, delivers every event
// through handleHostEvent, and destroys the object through the virtual destructor;
// the object's memory is allocated and released inside the component library.
#pragma once

class tarn_client_callback {
public:
    // Defined here, not in the library, so that every host that includes this
    // header has the interface's type information of its own.
    virtual ~tarn_client_callback() = default;

    // Delivers one host event. `data` is the event's record, text or integer (its
    // meaning depends on `type`, 1 to 7); it is owned by the host and valid only
    // during the call. The result is null, or for type 3 a reply text allocated
    // inside the library, which the host must hand back once with type 5 and
    // never release itself.
    virtual char* handleHostEvent(void* data, int type) = 0;
};

// The host sees nothing of the object but its table pointer.
static_assert(sizeof(tarn_client_callback) == sizeof(void*),
              "tarn_client_callback is one table pointer");
