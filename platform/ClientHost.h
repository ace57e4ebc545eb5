// ClientHost: the panel host's object, through which a component sends every
// command text. The host owns it and keeps it alive until the component is
// destroyed; a component keeps the pointer it was given at creation (possibly
// null) and never releases it. It is called only on the host's thread, from
// inside a host call (the factory, handleHostEvent or the destructor).
//
// The table has exactly two slots and no destructor, so it is the same for
// hosts built with any compiler: slot 0 is a host operation that components never
// call, slot 1 is send (thiscall on 32-bit Windows).
//
// The give-back rules, for every command a component sends with mode 0:
// - A component MUST give back with mode 5 the reply of every RN (a null reply
//   too), and of SD, XI and TG when the reply is not null.
// - It MUST give such a reply back before it sends any further command, and so
//   before the host call it runs in returns; it MUST NOT touch the reply again
//   after giving it back, and MUST NOT give a reply back twice.
// - It MUST NOT give back the replies of PS, TP, HN, RR, RU, ET or AS, nor any
//   pointer the host did not return; those stay the host's.
// - The host MUST accept a null text with mode 5.
#pragma once

#include "tarn_export.h"

class ClientHost {
public:
    // Slot 0: a host operation that components never call.
    virtual void TARN_THISCALL reserved() = 0;

    // Slot 1. Mode 0 executes the command `text`: the text is owned by the caller
    // and valid only during the call; the result is the host's reply, owned by the
    // host, or null for no reply. Mode 5 gives back a reply that an earlier mode-0
    // call returned, under the rules above; the result is then meaningless.
    virtual char* TARN_THISCALL send(const char* text, int mode) = 0;

    enum Mode { Command = 0, GiveBack = 5 };

protected:
    ClientHost() = default;
    ClientHost(const ClientHost&) = default;
    ClientHost& operator=(const ClientHost&) = default;
    // Never deleted through this type: the host owns its object.
    ~ClientHost() = default;
};

static_assert(sizeof(ClientHost) == sizeof(void*), "ClientHost is one table pointer");
