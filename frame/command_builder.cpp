#include "command_builder.h"

#include <cstdlib>
#include <cstring>

namespace {

// Replaces every quote in the `length` bytes at `text`.
void replaceQuotes(char* text, std::size_t length) {
    char* const end = text + length;
    while (text != end) {
        char* quote =
            static_cast<char*>(std::memchr(text, '\'', static_cast<std::size_t>(end - text)));
        if (quote == nullptr) {
            return;
        }
        *quote = CommandBuilder::QuoteStandIn;
        text = quote + 1;
    }
}

} // namespace

CommandBuilder::CommandBuilder(std::initializer_list<CommandPiece> pieces)
    : m_data(m_inline), m_failed(false) {
    m_inline[0] = '\0';
    // One scan of each piece for its length, one copy of each into the result,
    // and one more scan of each quoted text for quotes.
    std::size_t lengths[MaxPieces];
    std::size_t total = 0;
    std::size_t count = 0;
    for (const CommandPiece& piece : pieces) {
        if (count == MaxPieces) {
            m_failed = true; // a programming error in the caller, never sent cut
            return;
        }
        lengths[count] = piece.text != nullptr ? std::strlen(piece.text) : 0;
        if (lengths[count] > static_cast<std::size_t>(-1) - 1 - total) {
            m_failed = true; // longer than memory can hold
            return;
        }
        total += lengths[count++];
    }
    if (total >= InlineCapacity) {
        m_data = static_cast<char*>(std::malloc(total + 1));
        if (m_data == nullptr) {
            m_data = m_inline;
            m_failed = true;
            return;
        }
    }
    char* out = m_data;
    count = 0;
    for (const CommandPiece& piece : pieces) {
        if (lengths[count] != 0) {
            std::memcpy(out, piece.text, lengths[count]);
            if (piece.quoted) {
                replaceQuotes(out, lengths[count]);
            }
            out += lengths[count];
        }
        ++count;
    }
    *out = '\0';
}

CommandBuilder::~CommandBuilder() {
    if (m_data != m_inline) {
        std::free(m_data);
    }
}
