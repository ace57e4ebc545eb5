// Fuzzes the key.sub.sub=value parser. The input up to its first NUL is the text
// (an empty input also parses the null text); each parse is checked against a
// plain reference parse and against the invariants of the record: every pointer
// lies in the parser's own copy or is the shared empty text, the counts are in
// range, and key, sub-parts and value join back to the text.
#include "CommandText.h"
#include "empty_text.h"
#include "fuzz_input.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Reference {
    std::string key;
    std::vector<std::string> subs;
    bool hasValue = false;
    std::string value;
};

// The rules spelt out directly: the key runs to the first "." or "="; each "."
// starts a sub-part; the first "=" ends the scan; after 32 sub-parts the last
// one keeps the rest of the text.
Reference parseReference(const std::string& text) {
    Reference parsed;
    std::string* current = &parsed.key;
    std::size_t i = 0;
    for (; i < text.size() && parsed.subs.size() < CommandText::MaxSubParts; ++i) {
        if (text[i] == '.') {
            parsed.subs.emplace_back();
            current = &parsed.subs.back();
        } else if (text[i] == '=') {
            parsed.hasValue = true;
            parsed.value = text.substr(i + 1);
            return parsed;
        } else {
            *current += text[i];
        }
    }
    *current += text.substr(i);
    return parsed;
}

// A field is a NUL-terminated text inside buffer[0..length] or the empty text.
bool pointsInto(const char* field, const char* buffer, std::size_t length) {
    if (field == tarn_empty_text()) {
        return true;
    }
    return buffer != nullptr && field >= buffer && field <= buffer + length;
}

void check(const char* text) {
    const std::string input = text != nullptr ? text : "";
    const CommandText parsed(text);
    const std::size_t length = input.size();

    if ((parsed.buffer == nullptr) != input.empty()) {
        fuzzFailure("buffer is null exactly for a null or empty text", input);
    }
    if (parsed.subCount < 0 || parsed.subCount > CommandText::MaxSubParts) {
        fuzzFailure("subCount in range", std::to_string(parsed.subCount));
    }
    if (parsed.key == nullptr || parsed.value == nullptr) {
        fuzzFailure("key and value are never null", input);
    }
    if (!pointsInto(parsed.key, parsed.buffer, length) ||
        !pointsInto(parsed.value, parsed.buffer, length)) {
        fuzzFailure("key and value lie in the buffer", input);
    }
    for (int i = 0; i < CommandText::MaxSubParts; ++i) {
        if (parsed.sub[i] == nullptr || !pointsInto(parsed.sub[i], parsed.buffer, length)) {
            fuzzFailure("sub-parts lie in the buffer", input);
        }
        if (i >= parsed.subCount && parsed.sub[i] != tarn_empty_text()) {
            fuzzFailure("unused sub-parts are the shared empty text", input);
        }
    }
    if (!parsed.hasValue && parsed.value != tarn_empty_text()) {
        fuzzFailure("without '=' the value is the shared empty text", input);
    }
    if (!input.empty() && parsed.key != parsed.buffer) {
        fuzzFailure("the key starts the buffer", input);
    }

    const Reference expected = parseReference(input);
    if (expected.key != parsed.key || expected.hasValue != parsed.hasValue ||
        expected.value != parsed.value ||
        static_cast<int>(expected.subs.size()) != parsed.subCount) {
        fuzzFailure("parse equals the reference", input);
    }
    std::string joined = parsed.key;
    for (int i = 0; i < parsed.subCount; ++i) {
        if (expected.subs[static_cast<std::size_t>(i)] != parsed.sub[i]) {
            fuzzFailure("sub-part equals the reference", input);
        }
        joined += ".";
        joined += parsed.sub[i];
    }
    if (parsed.hasValue) {
        joined += "=";
        joined += parsed.value;
    }
    if (joined != input) {
        fuzzFailure("key, sub-parts and value join back to the text", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keepErrorOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        check(nullptr);
    }
    const std::string text = cText(std::string(reinterpret_cast<const char*>(data), size));
    check(text.c_str());
    return 0;
}
