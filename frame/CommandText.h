// CommandText: the parsed form of a text key.sub.sub=value. The dispatcher builds
// one for every parent command, and the host builds one for the event text of a
// button record, so its layout is shared with the host. The object owns `buffer`,
// its one copy of the text; `key`, `value` and every `sub` entry point into that
// copy or at the shared empty text, never null, and are valid while the object
// lives. A CommandText is neither copied nor assigned.
#pragma once

#include <cstddef>
#include <cstdint>

struct CommandText {
    enum { MaxSubParts = 32 };

    explicit CommandText(const char* text); // text may be null; it is copied
    ~CommandText();
    CommandText(const CommandText&) = delete;
    CommandText& operator=(const CommandText&) = delete;

    char* key;              // the text before the first "." or "="
    char* sub[MaxSubParts]; // the sub-parts, in order of appearance
    char* value;            // the text after the first "="
    std::int32_t subCount;  // sub-parts found, 0 to 32
    bool hasValue;          // an "=" was found
    char* buffer;           // the parser's own copy; null for a null or empty text
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(CommandText) == 148, "CommandText layout is shared with the host");
static_assert(offsetof(CommandText, key) == 0, "CommandText::key");
static_assert(offsetof(CommandText, sub) == 4, "CommandText::sub");
static_assert(offsetof(CommandText, value) == 132, "CommandText::value");
static_assert(offsetof(CommandText, subCount) == 136, "CommandText::subCount");
static_assert(offsetof(CommandText, hasValue) == 140, "CommandText::hasValue");
static_assert(offsetof(CommandText, buffer) == 144, "CommandText::buffer");
#endif
