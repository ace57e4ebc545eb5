// RecordSink: where a session's records go, one typed record at a time, as they
// happen (Records.h).
#pragma once

#include "records/Records.h"

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void emit(const Record& record) = 0;
};
