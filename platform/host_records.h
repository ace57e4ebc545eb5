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
    // The longest entry text a record holds, its NUL included; the component reads
    // no further, whether or not the host ended the text in time.
    enum { NameCapacity = 256 };

    int32_t device;
    int32_t database;
    int32_t index;
    int32_t reserved;
    char name[NameCapacity]; // the entry's new text, stored in the record itself
};

// The layouts the host uses, for pointers of any width; on 32-bit Windows the
// button record is 20 bytes.
static_assert(offsetof(ButtonEventRecord, panel) == 8, "ButtonEventRecord::panel");
static_assert(offsetof(ButtonEventRecord, control) == 8 + sizeof(void*),
              "ButtonEventRecord::control");
static_assert(offsetof(ButtonEventRecord, event) == 8 + 2 * sizeof(void*),
              "ButtonEventRecord::event");
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(ButtonEventRecord) == 20, "button record layout is the host's");
#endif
static_assert(offsetof(DatabaseChangeRecord, device) == 0, "DatabaseChangeRecord::device");
static_assert(offsetof(DatabaseChangeRecord, database) == 4, "DatabaseChangeRecord::database");
static_assert(offsetof(DatabaseChangeRecord, index) == 8, "DatabaseChangeRecord::index");
static_assert(offsetof(DatabaseChangeRecord, name) == 16, "DatabaseChangeRecord::name");
