// ClientHost: the panel host's object, through which a component sends every
// command text. The host owns it; a component keeps the pointer it was given at
// creation and never releases it. The table has exactly two slots and no
// destructor, so the slot of send is the same for hosts built with any compiler.
#pragma once

class ClientHost {
public:
    // Slot 0: a host operation that components never call.
    virtual void reserved() = 0;

    // Slot 1. Mode 0 executes the command `text`: the text is owned by the caller
    // and valid only during the call; the result is the host's reply, owned by the
    // host, or null for no reply. Mode 5 gives back a reply that an earlier mode-0
    // call returned (null is legal); the result is then meaningless. After giving
    // a reply back the caller never touches it again.
    virtual char* send(const char* text, int mode) = 0;

    enum Mode { Command = 0, GiveBack = 5 };

protected:
    ClientHost() = default;
    ClientHost(const ClientHost&) = default;
    ClientHost& operator=(const ClientHost&) = default;
    // Never deleted through this type: the host owns its object.
    ~ClientHost() = default;
};

static_assert(sizeof(ClientHost) == sizeof(void*), "ClientHost is one table pointer");
