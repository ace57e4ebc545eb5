#include "child/HostThread.h"

#include <csignal>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The region below the stack that no access may touch: a frame larger than
// the stack and this together lands beyond it, where no fault says why.
const std::size_t GuardBytes = 64u << 20;
// The stack the fault handler runs on.
const std::size_t HandlerStackBytes = 256u << 10;

FaultNote faultNote = nullptr;
const char* guardLow = nullptr;
const char* guardHigh = nullptr;
struct sigaction previous[2];

int slot(int signal) {
    return signal == SIGBUS ? 1 : 0;
}

MemoryFault::Access accessOf(const void* context) {
#if defined(__x86_64__) && defined(REG_ERR)
    // The page fault's error code: bit 1 set for a write.
    const ucontext_t* machine = static_cast<const ucontext_t*>(context);
    return (machine->uc_mcontext.gregs[REG_ERR] & 2) != 0 ? MemoryFault::Access::Write
                                                          : MemoryFault::Access::Read;
#else
    (void)context;
    return MemoryFault::Access::Unknown;
#endif
}

extern "C" void onFault(int signal, siginfo_t* info, void* context) {
    const FaultNote note = faultNote;
    faultNote = nullptr;
    if (note != nullptr) {
        MemoryFault fault;
        fault.address = info->si_addr;
        fault.access = accessOf(context);
        const char* at = static_cast<const char*>(fault.address);
        fault.stackExhausted = at >= guardLow && at < guardHigh;
        note(fault);
    }
    // Returning takes the fault again, now under the action there was before:
    // the process ends as it would have (or a sanitizer reports it).
    sigaction(signal, &previous[slot(signal)], nullptr);
}

struct Start {
    const std::function<void()>* body;
    void* handlerStack;
};

extern "C" void* hostMain(void* argument) {
    const Start& start = *static_cast<const Start*>(argument);
    stack_t alternate = {};
    alternate.ss_sp = start.handlerStack;
    alternate.ss_size = HandlerStackBytes;
    sigaltstack(&alternate, nullptr);
    (*start.body)();
    alternate.ss_flags = SS_DISABLE;
    sigaltstack(&alternate, nullptr);
    return nullptr;
}

} // namespace

bool runOnHostThread(std::size_t stackBytes, const std::function<void()>& body, FaultNote note) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t stack = (stackBytes + page - 1) / page * page;
    char* region = static_cast<char*>(mmap(nullptr, GuardBytes + stack, PROT_NONE,
                                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0));
    void* handlerStack = mmap(nullptr, HandlerStackBytes, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    bool ran = false;
    pthread_attr_t attributes;
    if (region != MAP_FAILED && handlerStack != MAP_FAILED &&
        mprotect(region + GuardBytes, stack, PROT_READ | PROT_WRITE) == 0 &&
        pthread_attr_init(&attributes) == 0) {
        guardLow = region;
        guardHigh = region + GuardBytes;
        faultNote = note;
        struct sigaction action = {};
        action.sa_sigaction = onFault;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        sigaction(SIGSEGV, &action, &previous[0]);
        sigaction(SIGBUS, &action, &previous[1]);
        Start start{&body, handlerStack};
        pthread_t thread;
        if (pthread_attr_setstack(&attributes, region + GuardBytes, stack) == 0 &&
            pthread_create(&thread, &attributes, hostMain, &start) == 0) {
            pthread_join(thread, nullptr);
            ran = true;
        }
        pthread_attr_destroy(&attributes);
        faultNote = nullptr;
        sigaction(SIGSEGV, &previous[0], nullptr);
        sigaction(SIGBUS, &previous[1], nullptr);
    }
    if (handlerStack != MAP_FAILED) {
        munmap(handlerStack, HandlerStackBytes);
    }
    if (region != MAP_FAILED) {
        munmap(region, GuardBytes + stack);
    }
    return ran;
}
