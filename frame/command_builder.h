// CommandBuilder: joins the pieces of one host command into a single
// NUL-terminated text. Ordinary commands are built on the stack; only a command
// longer than the inline buffer costs an allocation. Should that allocation fail,
// the builder is marked failed and the command must not be sent.
#pragma once

#include <cstddef>

class CommandBuilder {
public:
    CommandBuilder();
    ~CommandBuilder();
    CommandBuilder(const CommandBuilder&) = delete;
    CommandBuilder& operator=(const CommandBuilder&) = delete;

    CommandBuilder& operator<<(const char* piece);
    const char* text() const { return m_data; }
    bool failed() const { return m_failed; }

private:
    enum { InlineCapacity = 256 };
    char m_inline[InlineCapacity];
    char* m_data;
    std::size_t m_length;
    std::size_t m_capacity;
    bool m_failed;
};
