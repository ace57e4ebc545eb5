// FuzzingHost: a panel host whose every reply (a text or none) comes from the
// fuzzer's input, and which holds the component to the host contract through
// the host kit's contract checker as it goes: the give-back rules, the command
// form, "AS" from the destructor and last, the results of the callback. Any
// finding stops the fuzzer. A reply given back is released at once, so that a
// later read of it is a use after free; the replies the host keeps are released
// when the host call that produced them ends.
#pragma once

#include "AuditingHost.h"
#include "fuzz_input.h"

#include <optional>
#include <string>
#include <vector>

class FuzzingHost final : public AuditingHost {
public:
    // Replies are read from `replies`, one line each: "~" is no reply, any other
    // line the reply text; once the lines are used up there is no reply. Each
    // reply is released as soon as it is settled.
    explicit FuzzingHost(LineReader& replies) : AuditingHost(0), m_replies(replies) {}
    ~FuzzingHost();

    void TARN_THISCALL reserved() override;

    // Brackets every call into the component (creation, one event, destruction);
    // `result` is what handleHostEvent returned.
    void beginCall(ContractChecker::Call call, int type = 0);
    // The commands sent during the current call, in order.
    const std::vector<std::string>& callCommands() const { return m_callCommands; }

private:
    Answer answer(const ContractChecker::Send& sent, const char* text) override;
    void found(const std::vector<Finding>& findings) override;
    std::optional<std::string> nextReply();

    LineReader& m_replies;
    std::vector<std::string> m_callCommands;
};
