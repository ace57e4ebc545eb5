// tarn_string: texts of up to InlineCapacity characters live in the object itself;
// longer ones get one heap buffer from malloc, grown with realloc. Every operation
// that fails to get memory leaves an empty text (when it replaces the content) or
// the text unchanged (when it adds to it); nothing throws.
#include "tarn_string.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The longest text a string holds, so that length + 1 always fits the counters.
const unsigned long long MaxLength = UINT_MAX - 1u;

unsigned int textLength(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(text);
    return length > MaxLength ? 0u : static_cast<unsigned int>(length);
}

// A value to be written: a lead, then padCount copies of pad, then a body. Plain
// texts use only the body; numbers put their sign in the lead when padded with
// zeros, so that the zeros come after it.
struct Piece {
    const char* lead;
    unsigned int leadLength;
    char pad;
    unsigned int padCount;
    const char* body;
    unsigned int bodyLength;

    unsigned long long size() const {
        return static_cast<unsigned long long>(leadLength) + padCount + bodyLength;
    }

    char* write(char* out) const {
        std::memcpy(out, lead, leadLength);
        out += leadLength;
        std::memset(out, pad, padCount);
        out += padCount;
        std::memcpy(out, body, bodyLength);
        return out + bodyLength;
    }
};

Piece textPiece(const char* text, unsigned int length) {
    const Piece piece = {"", 0, ' ', 0, text, length};
    return piece;
}

// The text of a number in base 2..36 (anything else means 10), with lower-case
// digits, padded on the left to `width` characters with `fill` (0 meaning a space).
class NumberText {
public:
    NumberText(int value, char fill, unsigned int width, int base) {
        if (base < 2 || base > 36) {
            base = 10;
        }
        const bool negative = value < 0;
        unsigned int magnitude =
            negative ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
        const unsigned int radix = static_cast<unsigned int>(base);
        unsigned int position = sizeof m_text;
        do {
            m_text[--position] = "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % radix];
            magnitude /= radix;
        } while (magnitude != 0);

        m_piece = textPiece("", 0);
        if (negative) {
            if (fill == '0') {
                m_piece.lead = "-";
                m_piece.leadLength = 1;
            } else {
                m_text[--position] = '-';
            }
        }
        m_piece.body = m_text + position;
        m_piece.bodyLength = static_cast<unsigned int>(sizeof m_text - position);
        m_piece.pad = fill == '\0' ? ' ' : fill;
        const unsigned int used = m_piece.leadLength + m_piece.bodyLength;
        m_piece.padCount = width > used ? width - used : 0;
    }
    NumberText(const NumberText&) = delete;
    NumberText& operator=(const NumberText&) = delete;

    const Piece& piece() const { return m_piece; }

private:
    char m_text[33]; // a sign and up to 32 binary digits
    Piece m_piece;
};

// The digit of the lowest-numbered marker %1..%9 in the text, or 0 without one.
char lowestMarker(const char* text, unsigned int length) {
    char lowest = 0;
    for (unsigned int i = 0; i + 1 < length; ++i) {
        const char digit = text[i + 1];
        if (text[i] == '%' && digit >= '1' && digit <= '9' && (lowest == 0 || digit < lowest)) {
            lowest = digit;
        }
    }
    return lowest;
}

bool isMarkerAt(const char* text, unsigned int length, unsigned int i, char marker) {
    return i + 1 < length && text[i] == '%' && text[i + 1] == marker;
}

unsigned long long substitutedLength(const char* text, unsigned int length, char marker,
                                     const Piece& value) {
    unsigned long long result = length;
    for (unsigned int i = 0; i < length; ++i) {
        if (isMarkerAt(text, length, i, marker)) {
            result = result - 2 + value.size();
            ++i;
        }
    }
    return result;
}

void writeSubstituted(char* out, const char* text, unsigned int length, char marker,
                      const Piece& value) {
    for (unsigned int i = 0; i < length; ++i) {
        if (isMarkerAt(text, length, i, marker)) {
            out = value.write(out);
            ++i;
        } else {
            *out++ = text[i];
        }
    }
    *out = '\0';
}

} // namespace

tarn_string::tarn_string() : m_data(m_inline), m_length(0), m_capacity(InlineCapacity) {
    m_inline[0] = '\0';
}

tarn_string::tarn_string(const char* text) : tarn_string() {
    assign(text, textLength(text));
}

tarn_string::tarn_string(const tarn_string& other) : tarn_string() {
    assign(other.m_data, other.m_length);
}

tarn_string::tarn_string(int value, char fill, unsigned int width, int base) : tarn_string() {
    const NumberText number(value, fill, width, base);
    const unsigned long long size = number.piece().size();
    if (size <= MaxLength && reserve(static_cast<unsigned int>(size))) {
        *number.piece().write(m_data) = '\0';
        m_length = static_cast<unsigned int>(size);
    }
}

tarn_string::~tarn_string() {
    release();
}

tarn_string& tarn_string::operator=(const tarn_string& other) {
    if (this != &other) {
        assign(other.m_data, other.m_length);
    }
    return *this;
}

void tarn_string::take(tarn_string& other) {
    if (this == &other) {
        return;
    }
    release();
    if (other.m_data == other.m_inline) {
        std::memcpy(m_inline, other.m_inline, other.m_length + 1);
        m_length = other.m_length;
    } else {
        m_data = other.m_data;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_data = other.m_inline;
        other.m_capacity = InlineCapacity;
    }
    other.m_length = 0;
    other.m_inline[0] = '\0';
}

tarn_string& tarn_string::operator=(const char* text) {
    assign(text, textLength(text));
    return *this;
}

tarn_string& tarn_string::operator+=(const tarn_string& other) {
    append(other.m_data, other.m_length);
    return *this;
}

tarn_string::operator const char*() const {
    return m_data;
}

unsigned int tarn_string::length() const {
    return m_length;
}

int tarn_string::toInt() const {
    const char* p = m_data;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    // Accumulated as a negative number, whose range reaches INT_MIN.
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 - (*p - '0');
        if (value < INT_MIN) {
            return negative ? INT_MIN : INT_MAX;
        }
    }
    if (negative) {
        return static_cast<int>(value);
    }
    return value < -INT_MAX ? INT_MAX : static_cast<int>(-value);
}

tarn_string::operator int() const {
    return toInt();
}

// Both forms of arg build one named result on every path, so that it is
// constructed in the caller's storage rather than moved there.
tarn_string tarn_string::arg(const tarn_string& value) const {
    tarn_string result;
    const char marker = lowestMarker(m_data, m_length);
    if (marker == 0) {
        result.assign(m_data, m_length);
        return result;
    }
    const Piece piece = textPiece(value.m_data, value.m_length);
    const unsigned long long size = substitutedLength(m_data, m_length, marker, piece);
    if (size <= MaxLength && result.reserve(static_cast<unsigned int>(size))) {
        writeSubstituted(result.m_data, m_data, m_length, marker, piece);
        result.m_length = static_cast<unsigned int>(size);
    }
    return result;
}

tarn_string tarn_string::arg(int value, char fill, unsigned int width, int base) const {
    tarn_string result;
    const char marker = lowestMarker(m_data, m_length);
    if (marker == 0) {
        result.assign(m_data, m_length);
        return result;
    }
    const NumberText number(value, fill, width, base);
    const unsigned long long size = substitutedLength(m_data, m_length, marker, number.piece());
    if (size <= MaxLength && result.reserve(static_cast<unsigned int>(size))) {
        writeSubstituted(result.m_data, m_data, m_length, marker, number.piece());
        result.m_length = static_cast<unsigned int>(size);
    }
    return result;
}

int tarn_string::split(char separator, tarn_string& before, tarn_string& after) const {
    if (&before == this || &after == this) {
        const tarn_string copy(*this);
        return copy.split(separator, before, after);
    }
    const void* found = std::memchr(m_data, separator, m_length);
    if (found == nullptr) {
        before.assign(m_data, m_length);
        after.assign("", 0);
        return 0;
    }
    const unsigned int at = static_cast<unsigned int>(static_cast<const char*>(found) - m_data);
    before.assign(m_data, at);
    after.assign(m_data + at + 1, m_length - at - 1);
    return 1;
}

bool tarn_string::operator==(const tarn_string& other) const {
    return m_length == other.m_length && std::memcmp(m_data, other.m_data, m_length) == 0;
}

bool tarn_string::operator==(const char* text) const {
    if (text == nullptr) {
        return m_length == 0;
    }
    return std::strcmp(m_data, text) == 0;
}

bool tarn_string::operator==(int value) const {
    const NumberText number(value, 0, 0, 10);
    const Piece& piece = number.piece();
    return m_length == piece.bodyLength && std::memcmp(m_data, piece.body, m_length) == 0;
}

bool tarn_string::operator!=(const tarn_string& other) const {
    return !(*this == other);
}

// Replaces the content; the text may lie inside this string's own buffer. Without
// memory the string is left empty.
void tarn_string::assign(const char* text, unsigned int length) {
    if (length > m_capacity) {
        // A text longer than the capacity cannot be part of this buffer.
        m_length = 0;
        m_data[0] = '\0';
        if (!reserve(length)) {
            return;
        }
    }
    if (length != 0) {
        std::memmove(m_data, text, length);
    }
    m_length = length;
    m_data[length] = '\0';
}

// Adds to the content; the text may lie inside this string's own buffer, as in
// s += s. Without memory the string is left unchanged.
void tarn_string::append(const char* text, unsigned int length) {
    if (length == 0) {
        return;
    }
    if (length > MaxLength - m_length) {
        return;
    }
    const unsigned int needed = m_length + length;
    if (needed > m_capacity) {
        const bool own = text >= m_data && text < m_data + m_capacity + 1;
        const size_t offset = own ? static_cast<size_t>(text - m_data) : 0;
        // Grows by half again for repeated appends; never below what is needed.
        unsigned long long grown = static_cast<unsigned long long>(m_capacity) * 3 / 2;
        if (grown > MaxLength) {
            grown = MaxLength;
        }
        if (!(grown > needed && reserve(static_cast<unsigned int>(grown))) && !reserve(needed)) {
            return;
        }
        if (own) {
            text = m_data + offset;
        }
    }
    std::memmove(m_data + m_length, text, length);
    m_length = needed;
    m_data[needed] = '\0';
}

// Makes room for `capacity` characters and the NUL, keeping the content; false
// when the memory is not there, with the string unchanged.
bool tarn_string::reserve(unsigned int capacity) {
    if (capacity <= m_capacity) {
        return true;
    }
    const size_t bytes = static_cast<size_t>(capacity) + 1;
    if (bytes == 0) {
        return false;
    }
    char* data;
    if (m_data == m_inline) {
        data = static_cast<char*>(std::malloc(bytes));
        if (data != nullptr) {
            std::memcpy(data, m_inline, m_length + 1);
        }
    } else {
        data = static_cast<char*>(std::realloc(m_data, bytes));
    }
    if (data == nullptr) {
        return false;
    }
    m_data = data;
    m_capacity = capacity;
    return true;
}

// Frees heap storage and leaves the empty inline text.
void tarn_string::release() {
    if (m_data != m_inline) {
        std::free(m_data);
        m_data = m_inline;
    }
    m_capacity = InlineCapacity;
    m_length = 0;
    m_inline[0] = '\0';
}

tarn_string operator+(const tarn_string& left, const tarn_string& right) {
    tarn_string result;
    if (right.m_length <= MaxLength - left.m_length &&
        result.reserve(left.m_length + right.m_length)) {
        result.append(left.m_data, left.m_length);
        result.append(right.m_data, right.m_length);
    }
    return result;
}

tarn_string operator+(const tarn_string& left, const char* right) {
    const unsigned int rightLength = textLength(right);
    tarn_string result;
    if (rightLength <= MaxLength - left.m_length && result.reserve(left.m_length + rightLength)) {
        result.append(left.m_data, left.m_length);
        result.append(right, rightLength);
    }
    return result;
}

tarn_string operator+(const char* left, const tarn_string& right) {
    const unsigned int leftLength = textLength(left);
    tarn_string result;
    if (leftLength <= MaxLength - right.m_length && result.reserve(leftLength + right.m_length)) {
        result.append(left, leftLength);
        result.append(right.m_data, right.m_length);
    }
    return result;
}
