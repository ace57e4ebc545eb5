#include "ButtonNotify.h"

#include "host_records.h"

namespace {
tarn_string textOf(const char* text) {
    return text != nullptr ? tarn_string(text) : tarn_string();
}
} // namespace

tarn_string ButtonNotify::panel() const {
    return textOf(m_record->panel);
}

tarn_string ButtonNotify::control() const {
    return textOf(m_record->control);
}

tarn_string ButtonNotify::eventKey() const {
    return m_record->event != nullptr ? textOf(m_record->event->key) : tarn_string();
}

tarn_string ButtonNotify::eventValue() const {
    return m_record->event != nullptr ? textOf(m_record->event->value) : tarn_string();
}
