// The JSON form of the records: one object per line, with a "type" naming the
// record, as --json prints them and as the child streams them to its parent.
// Texts keep every byte (output/JsonBytes.h).
#pragma once

#include "records/Records.h"

#include <nlohmann/json.hpp>

#include <string>

std::string recordToJson(const Record& record);
// The same as a JSON value (a page embeds the records as they are).
nlohmann::json recordJson(const Record& record);
// Reads one line back; false for a line that is not a record.
bool recordFromJson(const std::string& line, Record& out);
