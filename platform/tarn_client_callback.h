// tarn_client_callback: the interface through which the panel host drives a
// component. The host receives the object from the factory, delivers every event
// through handleHostEvent, and destroys the object through slot 0 of its table;
// the object's memory is allocated and released inside the component library.
// Everything runs on the host's calling thread, one call at a time.
//
// The table, as the host sees it:
//
//   slot 0  the destructor.
//           Windows: Microsoft's scalar deleting destructor, void* (unsigned
//           flags), thiscall on x86. It runs the component's destructor, then the
//           base's ("AS" last); when bit 0 of flags is set it also frees the
//           object. It returns the object's address. A Microsoft host's
//           `delete component` calls it with flags 1.
//           Linux: the Itanium pair, complete then deleting destructor (slots 0
//           and 1), so handleHostEvent moves to slot 2 there.
//   slot 1  handleHostEvent (Windows; thiscall on x86).
//
// Hosts of ours destroy a component with tarn_destroy_component below, which
// makes the same call that a Microsoft host's `delete` makes.
#pragma once

#include "tarn_export.h"

class tarn_client_callback {
public:
#if TARN_MICROSOFT_TABLE_BY_HAND
    // Slot 0, the Microsoft scalar deleting destructor spelled out for compilers
    // that do not build Microsoft tables themselves. Bit 0 of `flags` frees the
    // object; the result is its address (no longer valid once freed).
    virtual void* TARN_THISCALL scalarDeletingDestructor(unsigned flags) = 0;
#else
    // Defined here, not in the library, so that every host that includes this
    // header has the interface's type information of its own.
    virtual ~tarn_client_callback() = default;
#endif

    // Delivers one host event (host_event_types.h says what `data` is for each
    // type). `data` is owned by the host and valid only during the call. The
    // result is null, or for type 3 a reply text allocated inside the library,
    // which the host MUST hand back once with type 5 and MUST NOT release itself.
    virtual char* TARN_THISCALL handleHostEvent(void* data, int type) = 0;

#if TARN_MICROSOFT_TABLE_BY_HAND
protected:
    // Not virtual: the table's destructor is slot 0 above. Protected, so that
    // nothing deletes a component through this type without going through it.
    ~tarn_client_callback() = default;
#endif
};

// The host sees nothing of the object but its table pointer.
static_assert(sizeof(tarn_client_callback) == sizeof(void*),
              "tarn_client_callback is one table pointer");

// Destroys a component the way its host does: the component's destructor runs,
// then the base's, and the memory is released inside the library. `component`
// may be null; it is invalid afterwards.
inline void tarn_destroy_component(tarn_client_callback* component) {
    if (component == nullptr) {
        return;
    }
#if TARN_MICROSOFT_TABLE_BY_HAND
    component->scalarDeletingDestructor(1);
#else
    delete component;
#endif
}
