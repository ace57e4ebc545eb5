// CommandBuilder: joins the pieces of one host command into a single
// NUL-terminated text. All pieces are given at once, so the length is known
// before anything is copied: ordinary commands are built on the stack, and only a
// command longer than the inline buffer costs an allocation, exactly one. Should
// that allocation fail, the builder is marked failed and the command must not be
// sent.
#pragma once

#include <cstddef>
#include <initializer_list>

class CommandBuilder {
public:
    // The pieces in order; a null piece counts as empty.
    CommandBuilder(std::initializer_list<const char*> pieces);
    ~CommandBuilder();
    CommandBuilder(const CommandBuilder&) = delete;
    CommandBuilder& operator=(const CommandBuilder&) = delete;

    const char* text() const { return m_data; }
    bool failed() const { return m_failed; }

private:
    enum { InlineCapacity = 256, MaxPieces = 16 };
    char m_inline[InlineCapacity];
    char* m_data;
    bool m_failed;
};
