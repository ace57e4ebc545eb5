#include "DatabaseNotify.h"

#include "host_records.h"

int DatabaseNotify::device() const {
    return m_record->device;
}

int DatabaseNotify::database() const {
    return m_record->database;
}

int DatabaseNotify::index() const {
    return m_record->index;
}

tarn_string DatabaseNotify::name() const {
    return tarn_string(m_record->name());
}
