// ButtonNotify: the view a button handler receives over the host's button record.
// It holds only the record's pointer; each accessor returns a new copy of the text
// as it is in the record at that moment. A null text pointer reads as empty.
#pragma once

#include "tarn_string.h"

struct ButtonEventRecord;

class ButtonNotify {
public:
    explicit ButtonNotify(void* record) : m_record(static_cast<ButtonEventRecord*>(record)) {}

    tarn_string panel() const;
    tarn_string control() const;
    tarn_string eventKey() const;
    tarn_string eventValue() const;

private:
    ButtonEventRecord* m_record; // the host's; never null when a handler runs
};
