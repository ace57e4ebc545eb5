#include "DatabaseNotify.h"

#include "host_records.h"

#include <cstring>

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
    const char* text = m_record->name;
    const void* end = std::memchr(text, '\0', DatabaseChangeRecord::NameCapacity);
    if (end != nullptr) {
        return tarn_string(text);
    }
    // The host filled the whole field without ending it: take what the field holds.
    char copy[DatabaseChangeRecord::NameCapacity + 1];
    std::memcpy(copy, text, DatabaseChangeRecord::NameCapacity);
    copy[DatabaseChangeRecord::NameCapacity] = '\0';
    return tarn_string(copy);
}
