// FuzzingHost: a panel host whose every reply (a text or none) comes from the
// fuzzer's input, and which holds the component to the give-back rules as it
// goes: the reply of RN always goes back (a null one too), those of SD, XI and TG
// when they are not null, and no other; each reply goes back once, with the very
// next call of send, before the operation returns; and "AS" is the last text it
// receives. A breach stops the fuzzer. A reply given back is released at once, so
// that a later read of it is a use after free; the replies the host keeps are
// released when the host call that produced them ends.
#pragma once

#include "ClientHost.h"
#include "fuzz_input.h"

#include <string>
#include <vector>

class FuzzingHost : public ClientHost {
public:
    // Replies are read from `replies`, one line each: "~" is no reply, any other
    // line the reply text; once the lines are used up there is no reply.
    explicit FuzzingHost(LineReader& replies) : m_replies(replies) {}
    FuzzingHost(const FuzzingHost&) = delete;
    FuzzingHost& operator=(const FuzzingHost&) = delete;
    ~FuzzingHost();

    void reserved() override;
    char* send(const char* text, int mode) override;

    // Brackets every call into the component (creation, one event, destruction).
    void beginCall(bool destroying);
    void endCall();
    // The commands sent during the current call, in order.
    const std::vector<std::string>& callCommands() const { return m_callCommands; }

private:
    char* nextReply();

    LineReader& m_replies;
    std::vector<std::string> m_callCommands;
    std::vector<char*> m_kept;    // replies never given back, released at endCall
    char* m_pending = nullptr;    // the reply that must come back next
    bool m_pendingWanted = false; // whether a give-back is due (m_pending may be null)
    std::string m_pendingCommand;
    bool m_destroying = false;
    bool m_shutDown = false;
};
