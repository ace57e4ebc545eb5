#include "output/MarkupText.h"

#include "language/Text.h"

namespace {

// The length of the UTF-8 sequence that begins at `at`, or 0 when it is not one.
std::size_t utf8Length(const std::string& text, std::size_t at) {
    const unsigned char first = static_cast<unsigned char>(text[at]);
    const std::size_t length = first < 0x80           ? 1
                               : (first >> 5) == 0x6  ? 2
                               : (first >> 4) == 0xE  ? 3
                               : (first >> 3) == 0x1E ? 4
                                                      : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) >> 6) != 0x2) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string markupText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = utf8Length(text, i);
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        ++i;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\n':
        case '\t':
            out += c;
            break;
        default:
            // Control characters and stray bytes are not allowed in XML 1.0.
            out += length == 0 || static_cast<unsigned char>(c) < 0x20 ? hexEscape(c)
                                                                       : std::string(1, c);
        }
    }
    return out;
}
