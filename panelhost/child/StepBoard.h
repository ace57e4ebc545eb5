// StepBoard: a few words of memory that the supervised child and the watching
// parent share, on which the child marks each step it begins and ends: its
// scenario line and its generated event. The parent reads it to tell a hang (a
// step open too long) and, after a crash, the step the child was in, without
// the child sending a record per step. When the child cannot write its records
// (a full disk, a file-size limit), it says so here, where no file is needed,
// so that the parent reports its own failure, not a crash. A memory fault that
// the child's crash handler could name (the host thread's stack ran out, a
// reply was touched past its end or after it was given back) is left here too,
// for the parent to report in place of a bare crash. Natively an anonymous shared mapping
// made before fork; on Windows a named mapping the child opens by the name in its job.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class StepBoard {
public:
    struct Words {
        std::atomic<std::int32_t> serial; // counts the steps begun
        std::atomic<std::int32_t> open;   // 1 while a step runs
        std::atomic<std::int32_t> line;
        std::atomic<std::int32_t> event;   // -1 outside generated events
        std::atomic<std::int32_t> channel; // the error number of a failed record write
        std::atomic<std::int32_t> fault;   // a Fault::Kind, once the crash handler named one
        std::atomic<std::int32_t> access;  // MemoryFault::Access
        std::atomic<std::int64_t> length;  // the reply's, without its NUL
        char command[128];                 // the command the reply answered
    };
    // A memory fault the crash handler named.
    struct Fault {
        enum class Kind { None, StackExhausted, ReplyPastEnd, ReplyAfterGiveBack };
        Kind kind = Kind::None;
        int access = 0; // MemoryFault::Access
        long long length = 0;
        std::string command;
    };
    struct Step {
        std::int32_t serial = 0;
        bool open = false;
        int line = 0;
        long event = -1;
    };

    // The parent's board, made before the child starts; `name()` names it.
    StepBoard();
    // The child's view of a board the parent made (Windows); natively the child
    // uses the parent's object, inherited through fork.
    explicit StepBoard(const std::string& name);
    ~StepBoard();
    StepBoard(const StepBoard&) = delete;
    StepBoard& operator=(const StepBoard&) = delete;

    bool usable() const { return m_words != nullptr; }
    const std::string& name() const { return m_name; }

    void begin(int line, long event);
    void end();
    Step read() const;
    // The child could not write its records: `error` is the error number.
    void channelFailed(int error);
    // The error number the child left, 0 when its records all went through.
    int channelError() const;
    // The child's crash handler named a fault: what a signal handler may do.
    void faulted(Fault::Kind kind, int access, long long length, const char* command);
    Fault fault() const;

private:
    Words* m_words = nullptr;
    void* m_mapping = nullptr;
    std::string m_name;
};
