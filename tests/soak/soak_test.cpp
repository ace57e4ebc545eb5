// The soak: one Quillon, made through the library's export, driven through a long
// seeded sequence of mixed host events (parent commands of every key, presses,
// database changes, timers, revertives, auxiliary and unknown events, replies
// taken back early or late) by SoakHost, whose replies are random or none. The
// heap in use must not grow between the end of the warm-up and the end of the
// run, and the give-back ledgers of both sides must balance.
//
// QUILLON_SOAK_EVENTS sets the number of events (100000 by default; the long
// form is 1000000), QUILLON_SOAK_SEED the seed. With the C library's allocator the
// heap is compared only when its thread cache is off, as CTest runs it:
//   GLIBC_TUNABLES=glibc.malloc.tcache_count=0 QUILLON_SOAK_EVENTS=1000000 soak_tests
#include "ConfigFolder.h"
#include "DebugCapture.h"
#include "HostEvents.h"
#include "SoakHost.h"
#include "load_tarn_client_script.h"
#include "memory_in_use.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

namespace {

long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtol(text, nullptr, 10) : fallback;
}

template <std::size_t N> const char* pick(SoakRandom& random, const char* const (&choices)[N]) {
    return choices[random.below(static_cast<int>(N))];
}

const char* const instances[] = {"r1", "r2", "r3", "r4", "r5", "r6", "nowhere", ""};
const char* const objects[] = {"pkg", "wide", "one", "absent", ""};
const char* const levelChoices[] = {"1,2", "2", "0,1", "2,1", "1,2,3", "3,-1", "", "9"};
const char* const statesheets[] = {"low", "high", "", "a statesheet name long enough for the heap"};
const char* const panels[] = {"1", "2", "01", ""};
const char* const controls[] = {"myDest", "tally_L1", "AckAll", "ActionAll", ""};

// Package objects of the shapes the level discovery meets.
const char* const objectSettings = "[pkg]\npackage_levels = 2\ndriver_ids = 10,20,30,40\n"
                                   "[wide]\npackage_levels = 8\ndriver_ids = 1,2\n"
                                   "[one]\npackage_levels = 1\n";

class Soak {
public:
    explicit Soak(std::uint64_t seed) : m_random(seed), m_host(m_random) {
        m_config.write("object_settings.ini", objectSettings);
    }

    void create() {
        m_host.beginCall(ContractChecker::Call::Create);
        m_component = load_tarn_client_script(&m_host, "C:/ui");
        m_host.endCall();
    }

    void destroy() {
        takeAllRepliesBack();
        m_host.beginCall(ContractChecker::Call::Destroy);
        tarn_destroy_component(m_component);
        m_component = nullptr;
        m_host.endCall();
    }

    void run(long events) {
        for (long i = 0; i < events; ++i) {
            event();
            if (i % 1000 == 999) {
                m_debugBytes += m_debug.take().size();
            }
        }
    }

    // The heap in use with no parent-command reply held and the debug output
    // collected, so that only what the component keeps is counted.
    std::size_t settledMemory() {
        takeAllRepliesBack();
        m_debugBytes += m_debug.take().size();
        return memoryInUse();
    }

    const SoakHost& host() const { return m_host; }
    long repliesReturned() const { return m_repliesReturned; }
    long repliesTakenBack() const { return m_repliesTakenBack; }
    long nonNullResults() const { return m_nonNullResults; }
    std::size_t debugBytes() const { return m_debugBytes; }

private:
    // One host call: `call` delivers one event to the component.
    template <typename Call> char* deliver(int type, Call call) {
        m_host.beginCall(ContractChecker::Call::Event, type);
        char* result = call(*m_component);
        m_host.endCall(result);
        return result;
    }

    void event() {
        const int kind = m_random.below(100);
        if (kind < 45) {
            parentCommand();
        } else if (kind < 60) {
            press();
        } else if (kind < 72) {
            databaseChange();
        } else if (kind < 78) {
            const int id = m_random.below(2000) - 1000;
            countResult(
                deliver(HostEventTimer, [&](auto& c) { return host_events::timer(c, id); }));
        } else if (kind < 84) {
            // A revertive, with a record or (as some hosts send) none.
            int record[8] = {};
            void* data = m_random.chance(50) ? record : nullptr;
            countResult(deliver(HostEventRevertive, [&](auto& c) {
                return host_events::raw(c, data, HostEventRevertive);
            }));
        } else if (kind < 88) {
            int aux[2] = {};
            void* data = m_random.chance(50) ? aux : nullptr;
            countResult(deliver(HostEventAux, [&](auto& c) { return host_events::aux(c, data); }));
        } else if (kind < 90) {
            const int unknown[] = {0, 8, -1, 1000};
            const int type = unknown[m_random.below(4)];
            countResult(deliver(type, [&](auto& c) { return host_events::raw(c, nullptr, type); }));
        } else {
            takeOneReplyBack();
        }
    }

    void countResult(char* result) {
        if (result != nullptr) {
            ++m_nonNullResults;
        }
    }

    void parentCommand() {
        std::string text;
        switch (m_random.below(15)) {
        case 0:
            text = "selected=" + std::to_string(m_random.below(22) - 1);
            break;
        case 1:
            text = std::string("instance=") + pick(m_random, instances);
            break;
        case 2:
            text = std::string("matrixobject=") + pick(m_random, objects);
            break;
        case 3:
            text = std::string("uselevels=") + pick(m_random, levelChoices);
            break;
        case 4:
            text = "namesDatabase=" + std::to_string(m_random.below(5) - 1);
            break;
        case 5:
            text = std::string("buttonlow=") + pick(m_random, statesheets);
            break;
        case 6:
            text = std::string("buttonhigh=") + pick(m_random, statesheets);
            break;
        case 7:
            text = std::string("tallystate_L1=") + pick(m_random, statesheets);
            break;
        case 8:
            text = std::string("tallystate_L2=") + pick(m_random, statesheets);
            break;
        case 9:
            text = std::string("unusedleveltext=") + pick(m_random, statesheets);
            break;
        case 10:
            text = m_random.chance(70) ? "return=all" : "return=some";
            break;
        case 11:
            text = "_events";
            break;
        case 12:
            text = "_commands=x";
            break;
        case 13:
            text = "unknown.sub.part=value";
            break;
        default:
            break; // the empty text, or none at all
        }
        const bool none = text.empty() && m_random.chance(50);
        char* reply = deliver(HostEventParentCommand, [&](auto& c) {
            return host_events::parentCommand(c, none ? nullptr : text.c_str());
        });
        if (reply != nullptr) {
            ++m_repliesReturned;
            m_outstanding.push_back(reply);
            if (m_outstanding.size() > 16) {
                takeOneReplyBack();
            }
        }
    }

    void press() {
        const char* eventText = m_random.chance(50) ? "alarm=ack" : "";
        const char* panel = pick(m_random, panels);
        const char* control = pick(m_random, controls);
        countResult(deliver(HostEventButton, [&](auto& c) {
            return host_events::press(c, panel, control, eventText);
        }));
    }

    void databaseChange() {
        const int device = m_random.below(7);
        const int database = m_random.below(4);
        const int index = m_random.below(14);
        const char* name = pick(m_random, statesheets);
        countResult(deliver(HostEventDatabaseChange, [&](auto& c) {
            return host_events::databaseChange(c, device, database, index, name);
        }));
    }

    void takeOneReplyBack() {
        if (m_outstanding.empty()) {
            countResult(deliver(HostEventReplyGivenBack,
                                [](auto& c) { return host_events::giveBack(c, nullptr); }));
            return;
        }
        const std::size_t position =
            static_cast<std::size_t>(m_random.below(static_cast<int>(m_outstanding.size())));
        char* reply = m_outstanding[position];
        m_outstanding.erase(m_outstanding.begin() + static_cast<std::ptrdiff_t>(position));
        countResult(deliver(HostEventReplyGivenBack,
                            [&](auto& c) { return host_events::giveBack(c, reply); }));
        ++m_repliesTakenBack;
    }

    void takeAllRepliesBack() {
        while (!m_outstanding.empty()) {
            takeOneReplyBack();
        }
    }

    SoakRandom m_random;
    ConfigFolder m_config;
    DebugCapture m_debug;
    SoakHost m_host;
    tarn_client_callback* m_component = nullptr;
    std::deque<char*> m_outstanding;
    long m_repliesReturned = 0;
    long m_repliesTakenBack = 0;
    long m_nonNullResults = 0;
    std::size_t m_debugBytes = 0;
};

TEST(Soak, MemoryStaysFlatAndTheLedgersBalance) {
    const long events = fromEnvironment("QUILLON_SOAK_EVENTS", 100000);
    const std::uint64_t seed =
        static_cast<std::uint64_t>(fromEnvironment("QUILLON_SOAK_SEED", 20240611));
    const long warmUp = events / 10;
    ASSERT_GT(warmUp, 0) << "QUILLON_SOAK_EVENTS must be at least 10";
    // The component's own state varies by a few short texts between samples; a
    // leak of one small block per thousand events after warm-up exceeds this.
    const std::size_t tolerance = 1024;

    const auto start = std::chrono::steady_clock::now();
    Soak soak(seed);
    soak.create();
    soak.run(warmUp);
    const std::size_t afterWarmUp = soak.settledMemory();
    soak.run(events - warmUp);
    const std::size_t atEnd = soak.settledMemory();
    soak.destroy();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const SoakLedger ledger = soak.host().ledger();
    std::cout << "soak: " << events << " events, seed " << seed << ", " << seconds << " s\n"
              << "soak: heap in use after warm-up " << afterWarmUp << " bytes, at the end " << atEnd
              << " bytes (growth "
              << static_cast<long long>(atEnd) - static_cast<long long>(afterWarmUp)
              << ", exact: " << (memoryInUseIsMeasured() ? "yes" : "no") << ")\n"
              << "soak: " << ledger.commands << " commands, " << ledger.repliesIssued
              << " replies issued, " << ledger.repliesGivenBack << " given back, "
              << ledger.repliesKept << " kept by the host, " << ledger.nullGiveBacks
              << " null RN replies given back\n"
              << "soak: " << soak.repliesReturned() << " parent-command replies, "
              << soak.repliesTakenBack() << " taken back; " << soak.debugBytes()
              << " bytes of debug output\nsoak: commands by code:";
    for (const auto& entry : soak.host().commandsByCode()) {
        std::cout << ' ' << entry.first << '=' << entry.second;
    }
    std::cout << std::endl;

    EXPECT_EQ(ledger.breaches, 0);
    for (const std::string& breach : ledger.firstBreaches) {
        ADD_FAILURE() << breach;
    }
    EXPECT_EQ(ledger.repliesIssued, ledger.repliesGivenBack + ledger.repliesKept)
        << "every reply issued came back or was one the host keeps";
    EXPECT_EQ(soak.repliesReturned(), soak.repliesTakenBack());
    EXPECT_EQ(soak.nonNullResults(), 0) << "only parent commands answer";
    EXPECT_EQ(soak.host().commandsByCode().at("AS"), 1);
    // Every kind of command the component can send came up, so the run went
    // through resolution, discovery, selection and destruction.
    for (const char* code : {"PS", "TP", "HN", "RN", "SD", "RR", "RU", "ET"}) {
        EXPECT_GT(soak.host().commandsByCode().count(code), 0u) << code;
    }
    if (!memoryInUseIsMeasured()) {
        std::cout << "soak: the heap is not compared: set "
                     "GLIBC_TUNABLES=glibc.malloc.tcache_count=0 for an exact figure\n";
    } else {
        EXPECT_LE(atEnd, afterWarmUp + tolerance) << "the heap grew after warm-up";
    }
}

} // namespace
