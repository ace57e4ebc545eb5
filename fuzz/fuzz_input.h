// The fuzzers' reading of an input: lines ended by '\n' (the last one need not
// be), so that seeds are plain text files and every mutation stays meaningful.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class LineReader {
public:
    LineReader(const std::uint8_t* data, std::size_t size)
        : m_data(reinterpret_cast<const char*>(data)), m_size(size) {}
    explicit LineReader(const std::string& text) : m_data(text.data()), m_size(text.size()) {}

    bool done() const { return m_position >= m_size; }
    // The next line without its '\n'; the empty text once the input is used up.
    std::string next();
    // Everything not read yet, line ends included.
    std::string rest();

private:
    const char* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// The part of `text` before its first NUL: what a C string made of it holds.
std::string cText(const std::string& text);

// The decimal number at the start of `text` (optional '-'), clamped to
// [low, high]; `fallback` without digits.
long long numberIn(const std::string& text, long long low, long long high, long long fallback);

// Stops the fuzzer with a message, so that libFuzzer saves the input. The message
// goes to the error output that the process had at start, even when libFuzzer
// was told to close the target's error output.
[[noreturn]] void fuzzFailure(const char* what, const std::string& detail);
void keepErrorOutput();
