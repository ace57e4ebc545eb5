#include "decodeTARNString.h"

#include "empty_text.h"

#include <cstring>
#include <new>

decodeTARNString::decodeTARNString(const char* text, char quoteCharacter)
    : tokenCount(0), buffer(nullptr), quote(quoteCharacter) {
    decode(text);
}

decodeTARNString::~decodeTARNString() {
    delete[] buffer;
}

void decodeTARNString::decode(const char* text) {
    tokenCount = 0;
    char* const empty = tarn_empty_text();
    for (char*& token : tokens) {
        token = empty;
    }
    delete[] buffer;
    buffer = nullptr;
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    const std::size_t length = std::strlen(text);
    buffer = new (std::nothrow) char[length + 1];
    if (buffer == nullptr) {
        return; // out of memory: no words, as for an empty reply
    }
    std::memcpy(buffer, text, length + 1);

    // Word 0 starts at the first byte whatever it is, so a leading space or quote
    // gives an empty first word; separators are overwritten with NUL in place.
    tokens[tokenCount++] = buffer;
    bool quoted = false;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = buffer[i];
        const bool afterSeparator = i > 0 && buffer[i - 1] == '\0';
        bool beginsWord = false;
        if (!quoted) {
            if (c == quote) {
                buffer[i] = '\0';
                quoted = true;
            } else if (c == ' ') {
                buffer[i] = '\0';
            } else {
                beginsWord = afterSeparator;
            }
        } else if (c == quote) {
            buffer[i] = '\0';
            quoted = false;
            beginsWord = afterSeparator; // empty quotes make an empty word
        } else {
            beginsWord = afterSeparator;
        }
        if (beginsWord) {
            if (tokenCount == MaxTokens) {
                break;
            }
            tokens[tokenCount++] = buffer + i;
        }
    }
}
