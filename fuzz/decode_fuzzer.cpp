// Fuzzes decodeTARNString, the reply tokenizer. The first byte of the input is
// the quote character, the rest up to its first NUL the text (an input of no
// bytes decodes the null text). The words are checked against a plain reference
// tokenizer, and the tokenizer's copy against the text: every word lies in the
// copy or is the shared empty text, the count is in range, and the copy differs
// from the text only where a separator was overwritten with NUL.
#include "decodeTARNString.h"
#include "empty_text.h"
#include "fuzz_input.h"

#include <string>
#include <vector>

namespace {

// The rules spelt out directly. Word 0 begins at position 0; outside quotes a
// quote or a space is a separator; inside quotes only the closing quote is, and
// closing right after a separator makes an empty word; any other character right
// after a separator begins a word; a 33rd word ends the scan.
std::vector<std::string> wordsOf(const std::string& text, char quote) {
    std::vector<std::string> words;
    if (text.empty()) {
        return words;
    }
    words.emplace_back();
    bool quoted = false;
    bool afterSeparator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool separator = c == quote || (!quoted && c == ' ');
        const bool emptyQuotes = quoted && c == quote;
        if (c == quote) {
            quoted = !quoted;
        }
        if (i > 0 && afterSeparator && (!separator || emptyQuotes)) {
            if (words.size() == decodeTARNString::MaxTokens) {
                break;
            }
            words.emplace_back();
        }
        if (!separator) {
            words.back() += c;
        }
        afterSeparator = separator;
    }
    return words;
}

void check(const char* text, char quote) {
    const std::string input = text != nullptr ? text : "";
    const decodeTARNString decoded(text, quote);
    const std::size_t length = input.size();

    if ((decoded.buffer == nullptr) != input.empty()) {
        fuzzFailure("buffer is null exactly for a null or empty text", input);
    }
    if (decoded.tokenCount < 0 || decoded.tokenCount > decodeTARNString::MaxTokens) {
        fuzzFailure("tokenCount in range", std::to_string(decoded.tokenCount));
    }
    if (decoded.quote != quote) {
        fuzzFailure("the quote character is kept", input);
    }
    for (int i = 0; i < decodeTARNString::MaxTokens; ++i) {
        const char* token = decoded.tokens[i];
        if (token == nullptr) {
            fuzzFailure("no token is null", input);
        }
        if (i >= decoded.tokenCount) {
            if (token != tarn_empty_text()) {
                fuzzFailure("unused tokens are the shared empty text", input);
            }
        } else if (token < decoded.buffer || token > decoded.buffer + length) {
            fuzzFailure("words lie in the tokenizer's copy", input);
        }
    }
    for (std::size_t i = 0; i < length; ++i) {
        const char copied = decoded.buffer[i];
        if (copied != input[i] && !(copied == '\0' && (input[i] == ' ' || input[i] == quote))) {
            fuzzFailure("the copy changes separators only", input);
        }
    }
    if (length != 0 && decoded.buffer[length] != '\0') {
        fuzzFailure("the copy is NUL-terminated", input);
    }

    const std::vector<std::string> expected = wordsOf(input, quote);
    if (static_cast<int>(expected.size()) != decoded.tokenCount) {
        fuzzFailure("word count equals the reference",
                    input + " (" + std::to_string(decoded.tokenCount) + " words, expected " +
                        std::to_string(expected.size()) + ")");
    }
    for (int i = 0; i < decoded.tokenCount; ++i) {
        if (expected[static_cast<std::size_t>(i)] != decoded.tokens[i]) {
            fuzzFailure("word equals the reference", input + " (word " + std::to_string(i) + ")");
        }
    }
    if (decoded.tokenCount > 0 && decoded.tokens[0] != decoded.buffer) {
        fuzzFailure("word 0 begins the copy", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keepErrorOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        check(nullptr, '\'');
        return 0;
    }
    const char quote = static_cast<char>(data[0]);
    const std::string text = cText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    check(text.c_str(), quote);
    return 0;
}
