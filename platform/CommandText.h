// CommandText: the parsed form of a text key.sub.sub=value. The dispatcher builds
// one for every parent command, and the host builds one for the event text of a
// button record, so its layout is shared with the host. The object owns `buffer`,
// its one copy of the text; `key`, `value` and every `sub` entry point into that
// copy or at the shared empty text, never null, and are valid while the object
// lives. Whoever constructs one destroys it; the one in a button record is the
// host's and lives for the event's delivery. A CommandText is neither copied nor
// assigned.
#pragma once

// The C forms of these headers, so that freestanding hosts can include this one.
#include <stddef.h>
#include <stdint.h>

struct CommandText {
    enum { MaxSubParts = 32 };

    explicit CommandText(const char* text); // text may be null; it is copied
    ~CommandText();
    CommandText(const CommandText&) = delete;
    CommandText& operator=(const CommandText&) = delete;

    char* key;              // the text before the first "." or "="
    char* sub[MaxSubParts]; // the sub-parts, in order of appearance
    char* value;            // the text after the first "="
    int32_t subCount;       // sub-parts found, 0 to 32
    bool hasValue;          // an "=" was found
    char* buffer;           // the parser's own copy; null for a null or empty text
};

// The layout the host uses, for pointers of any width; on 32-bit Windows the
// record is 148 bytes.
static_assert(offsetof(CommandText, key) == 0, "CommandText::key");
static_assert(offsetof(CommandText, sub) == sizeof(void*), "CommandText::sub");
static_assert(offsetof(CommandText, value) == 33 * sizeof(void*), "CommandText::value");
static_assert(offsetof(CommandText, subCount) == 34 * sizeof(void*), "CommandText::subCount");
static_assert(offsetof(CommandText, hasValue) == 34 * sizeof(void*) + 4, "CommandText::hasValue");
static_assert(offsetof(CommandText, buffer) == 35 * sizeof(void*) + (sizeof(void*) == 4 ? 4 : 0),
              "CommandText::buffer");
static_assert(sizeof(void*) != 4 || sizeof(CommandText) == 148,
              "CommandText layout is shared with the host");
static_assert(sizeof(void*) != 4 || offsetof(CommandText, buffer) == 144, "CommandText::buffer");
