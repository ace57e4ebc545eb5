// CommandBuilder: joins the pieces of one host command into a single
// NUL-terminated text. All pieces are given at once, so the length is known
// before anything is copied: ordinary commands are built on the stack, and only a
// command longer than the inline buffer costs an allocation, exactly one. Should
// that allocation fail, the builder is marked failed and the command must not be
// sent.
//
// A piece is either the command's own syntax (its code, the blanks, the quotes
// themselves), copied as it is, or a text that the command puts between single
// quotes, made with quotedText(). The host splits a command at its quotes and
// knows no escape, so a quote inside such a text would end it early and shift
// every argument after it onto the wrong panel, control or property. Each quote
// inside a quoted text is therefore replaced by QuoteStandIn; a text without one
// goes out byte for byte.
#pragma once

#include <cstddef>
#include <initializer_list>

struct CommandPiece {
    // Syntax, copied as it is; null counts as empty. Implicit, so that the
    // literal pieces of a command read as they are sent.
    CommandPiece(const char* syntax) : text(syntax), quoted(false) {}

    const char* text;
    bool quoted;
};

// A text that goes between single quotes; null counts as empty.
inline CommandPiece quotedText(const char* text) {
    CommandPiece piece(text);
    piece.quoted = true;
    return piece;
}

class CommandBuilder {
public:
    // What a single quote inside a quoted text becomes: 0x92, the typographic
    // apostrophe (U+2019) in every Windows-125x code page that the host's 8-bit
    // texts use. A name such as "O'Brien cam" still reads as an apostrophe on the
    // panel, the host never takes it for a quote, and being one byte for one it
    // keeps the command's length, so the replacement costs no allocation.
    static constexpr char QuoteStandIn = '\x92';

    // The pieces in order.
    CommandBuilder(std::initializer_list<CommandPiece> pieces);
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
