#include "CommandText.h"

#include "empty_text.h"

#include <cstring>
#include <new>

CommandText::CommandText(const char* text)
    : key(tarn_empty_text()), value(key), subCount(0), hasValue(false), buffer(nullptr) {
    for (char*& part : sub) {
        part = key; // the shared empty text, fetched once
    }
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    // The one allocation of a parse: every field points into this copy, each part
    // ended by overwriting its separator with NUL.
    const std::size_t length = std::strlen(text);
    buffer = new (std::nothrow) char[length + 1];
    if (buffer == nullptr) {
        return; // out of memory: an empty command, as for an empty text
    }
    std::memcpy(buffer, text, length + 1);
    key = buffer;
    for (char* cursor = buffer; *cursor != '\0' && subCount < MaxSubParts; ++cursor) {
        if (*cursor == '.') {
            *cursor = '\0';
            sub[subCount++] = cursor + 1;
        } else if (*cursor == '=') {
            *cursor = '\0';
            hasValue = true;
            value = cursor + 1;
            break;
        }
    }
}

CommandText::~CommandText() {
    delete[] buffer;
}
