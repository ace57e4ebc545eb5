// RecordSink: where a session's records go. A run is a stream of records, one
// JSON object each ("start", "step", "sent", "giveback", "event", "debug",
// "reply", "breach", "expect", "end", "panel", "summary", "fatal"); the
// transcript, the --json output, the watchdog and the fuzzer all read the same
// stream.
#pragma once

#include <nlohmann/json.hpp>

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void emit(const nlohmann::json& record) = 0;
};
