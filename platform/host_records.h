// The records the host passes with button (type 2) and database-change (type 6)
// events. They are the host's: laid out by it, owned by it, and valid only during
// the event's delivery, on the host's thread. The component reads them in place,
// copies what it keeps, and never writes or releases them.
#pragma once

#include "CommandText.h"

// The C forms of these headers, so that freestanding hosts can include this one.
#include <stddef.h>
#include <stdint.h>

struct ButtonEventRecord {
    int32_t reserved0;
    int32_t reserved1;
    const char* panel;   // panel holding the control; the component's own is "1"
    const char* control; // control name, such as "myDest"
    CommandText* event;  // the control's event text, parsed by the host
};

struct DatabaseChangeRecord {
    int32_t device;
    int32_t database;
    int32_t index;
    int32_t reserved;
    // The first byte of the entry's new text. The text is stored in the record
    // itself, from offset 16 up to its NUL, whatever its length: the host makes
    // each record as long as its text and always ends the text with a NUL. This
    // member says where the text begins, not how long it is; reach the text
    // through name(), never as a field of fixed size.
    char nameBegins;

    const char* name() const {
        return reinterpret_cast<const char*>(this) + offsetof(DatabaseChangeRecord, nameBegins);
    }
    char* name() {
        return reinterpret_cast<char*>(this) + offsetof(DatabaseChangeRecord, nameBegins);
    }

    // For hosts: the 32-bit words that a record with a name of `nameLength`
    // characters takes, the NUL included.
    static constexpr size_t wordsFor(size_t nameLength) {
        return (offsetof(DatabaseChangeRecord, nameBegins) + nameLength + 1 + 3) / 4;
    }
};

// For hosts: lays a record with `name` out in `storage`, which holds
// DatabaseChangeRecord::wordsFor(the name's length) words, and returns it. Only
// the C language is used, so that freestanding hosts can call it too.
inline DatabaseChangeRecord* placeDatabaseChangeRecord(int32_t* storage, int32_t device,
                                                       int32_t database, int32_t index,
                                                       const char* name) {
    DatabaseChangeRecord* record = reinterpret_cast<DatabaseChangeRecord*>(storage);
    record->device = device;
    record->database = database;
    record->index = index;
    record->reserved = 0;
    char* text = record->name();
    do {
        *text++ = *name;
    } while (*name++ != '\0');
    return record;
}

// The layouts the host uses, for pointers of any width; on 32-bit Windows the
// button record is 20 bytes.
static_assert(offsetof(ButtonEventRecord, panel) == 8, "ButtonEventRecord::panel");
static_assert(offsetof(ButtonEventRecord, control) == 8 + sizeof(void*),
              "ButtonEventRecord::control");
static_assert(offsetof(ButtonEventRecord, event) == 8 + 2 * sizeof(void*),
              "ButtonEventRecord::event");
static_assert(sizeof(void*) != 4 || sizeof(ButtonEventRecord) == 20,
              "button record layout is the host's");
static_assert(offsetof(DatabaseChangeRecord, device) == 0, "DatabaseChangeRecord::device");
static_assert(offsetof(DatabaseChangeRecord, database) == 4, "DatabaseChangeRecord::database");
static_assert(offsetof(DatabaseChangeRecord, index) == 8, "DatabaseChangeRecord::index");
static_assert(offsetof(DatabaseChangeRecord, nameBegins) == 16, "DatabaseChangeRecord::nameBegins");
static_assert(DatabaseChangeRecord::wordsFor(0) * 4 >= sizeof(DatabaseChangeRecord),
              "a record with an empty name still holds every field");
