// ContractChecker: the host's side of the host contract (ClientHost.h,
// tarn_client_callback.h), every rule of it in one place, under every host of
// ours. A host brackets each call into the component with beginCall and endCall
// and passes each send through send() before it acts on it. Every method returns
// the findings made at that moment, so that a finding belongs to the step in
// which it happened. The checker keeps the replies (ReplyLedger), the router
// registrations and the state of the component's life; what becomes of a finding
// (reported, counted, the run stopped) is the host's choice.
//
// A send from another thread touches nothing but the checker's note of it: the
// finding is handed to the host on its own thread, at its next call of the
// checker, and the send is refused.
#pragma once

#include "CommandSyntax.h"
#include "ReplyLedger.h"
#include "Rules.h"

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class ContractChecker {
public:
    // What the host calls: the factory (a new life begins), handleHostEvent, or
    // the destructor.
    enum class Call { Create, Event, Destroy };

    // `keep`: how many settled replies stay allocated (ReplyLedger).
    explicit ContractChecker(std::size_t keep = ReplyLedger::DefaultKeep) : m_ledger(keep) {}
    ContractChecker(const ContractChecker&) = delete;
    ContractChecker& operator=(const ContractChecker&) = delete;

    // The host is about to make `call` (for an event, of `type`) on this thread.
    std::vector<Finding> beginCall(Call call, int type = 0);
    // The call has returned; `result` is what handleHostEvent returned (null for
    // the factory and the destructor). Replies still owed, a result where none is
    // due, and after the destructor a missing AS and routers left registered are
    // findings now.
    std::vector<Finding> endCall(const char* result = nullptr);

    // One call of ClientHost::send, judged before the host acts on it.
    struct Send {
        std::vector<Finding> findings;
        bool refused = false;    // act on nothing, reply null: another thread, no call, bad mode
        bool giveBack = false;   // mode 5, taken by the ledger
        std::string givenBackOf; // the command whose reply came back; empty for null or foreign
        bool command = false;    // mode 0
        std::string text;        // the command as sent ("" for a null text)
        ParsedCommand parsed;
        bool carryOut = false; // read well enough for the host's world to act on it
    };
    Send send(const char* text, int mode);
    // The replies given back so far become untouchable (ReplyLedger::seal): a
    // host calls it once it has read what it wanted of a give-back.
    void sealGivenBack() { m_ledger.seal(); }
    // Issues the host's reply (null for none) to a command that send() judged;
    // what send must return.
    char* reply(const Send& sent, const std::optional<std::string>& text);

    // What other threads sent since the host last asked the checker anything: a
    // host that waits after a step, with no call into the component, takes it so.
    std::vector<Finding> late();

    // An exception left the component during `where`: `what` is its type and message.
    static Finding exceptionEscaped(const std::string& where, const std::string& what);

    // The routers registered with RR and not yet unregistered, one entry per registration.
    std::vector<int> registeredRouters() const;
    const ReplyLedger& ledger() const { return m_ledger; }

private:
    bool onCallThread(const char* text, std::vector<Finding>& findings);
    void takeForeign(std::vector<Finding>& findings);
    void registration(const ParsedCommand& parsed, std::vector<Finding>& findings);

    ReplyLedger m_ledger;
    std::map<int, int> m_routers; // device: registrations held
    Call m_call = Call::Event;
    int m_type = 0;
    bool m_shutDown = false; // AS came in this life
    std::atomic<bool> m_inCall{false};
    std::atomic<std::thread::id> m_thread{};
    std::mutex m_foreignLock;
    std::vector<Finding> m_foreign; // findings made on other threads, for the host's thread
    std::atomic<bool> m_anyForeign{false};
};
