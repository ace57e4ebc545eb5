// DatabaseNotify: the view a database-change handler receives over the host's
// database-change record: which entry of which router database changed, and its
// new text. It holds only the record's pointer.
#pragma once

#include "tarn_string.h"

struct DatabaseChangeRecord;

class DatabaseNotify {
public:
    explicit DatabaseNotify(void* record) : m_record(static_cast<DatabaseChangeRecord*>(record)) {}

    int device() const;
    int database() const;
    int index() const;
    // The entry's new text, read up to its NUL, however long it is.
    tarn_string name() const;

private:
    DatabaseChangeRecord* m_record; // the host's; never null when a handler runs
};
