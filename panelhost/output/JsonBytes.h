// Texts in JSON, byte for byte. A text is a run of bytes (a component's texts
// need not be UTF-8: 0x92 is its quote), so each byte is written as the code
// point of the same number, U+0000 to U+00FF, and JSON is dumped as ASCII:
// byte 0x92 is "\u0092", "é" in UTF-8 is "\u00c3\u00a9". Every byte comes back
// exactly, in the records that the child streams and in --json output alike.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The JSON string of `bytes`.
nlohmann::json jsonBytes(const std::string& bytes);
// The bytes of a JSON string made by jsonBytes; empty for anything else, or
// for a string holding a code point above U+00FF.
std::string bytesOf(const nlohmann::json& value);
// The string member `key` of `object` as bytes; empty when it is absent.
std::string bytesAt(const nlohmann::json& object, const char* key);
// One line of JSON text, ASCII only.
std::string dumpJson(const nlohmann::json& value);
