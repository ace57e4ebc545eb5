// tarn_string: the framework's 8-bit text value, imported from the tarn_string
// library. It keeps its characters in plain storage of its own (short texts of up
// to 15 characters inline, longer ones on the heap of the library), so objects may
// be created in one module and destroyed in another.
//
// Behaviour the framework fixes for this system's build:
//  - comparisons are byte-wise and case-sensitive; a text equals an int when it
//    is exactly that number's plain decimal text ("1" == 1, "01" != 1);
//  - toInt() and operator int() read optional leading blanks, an optional sign and
//    the leading decimal digits, like atoi; no digits give 0, and a value beyond
//    the int range is clamped to INT_MIN or INT_MAX;
//  - split() divides at the first separator; without one it gives the whole text
//    and an empty text, and returns 0 (1 when it found the separator);
//  - arg() replaces every occurrence of the lowest-numbered marker %1..%9 still
//    present; without a marker it returns an unchanged copy;
//  - the number forms write the value in the given base (2..36, others mean 10),
//    padded on the left to `width` characters with `fill` (a fill of 0 means a
//    space); with 0, 0 and 10 that is plain decimal, "-1" for -1.
#pragma once

#include "tarn_export.h"

class TARN_STRING_API tarn_string {
public:
    tarn_string();
    tarn_string(const char* text);
    tarn_string(const tarn_string& other);
    tarn_string(int value, char fill, unsigned int width, int base);
    virtual ~tarn_string();

    tarn_string& operator=(const tarn_string& other);
    tarn_string& operator=(const char* text);
    tarn_string& operator+=(const tarn_string& other);

    // The NUL-terminated text; valid while this string lives unchanged. Never null.
    operator const char*() const;
    unsigned int length() const;

    int toInt() const;
    operator int() const;

    tarn_string arg(const tarn_string& value) const;
    tarn_string arg(int value, char fill, unsigned int width, int base) const;

    int split(char separator, tarn_string& before, tarn_string& after) const;

    bool operator==(const tarn_string& other) const;
    bool operator==(const char* text) const;
    bool operator==(int value) const;
    bool operator!=(const tarn_string& other) const;

private:
    // Concatenation and the list build their results in place, sized once.
    friend class tarn_stringlist;
    friend TARN_STRING_API tarn_string operator+(const tarn_string& left, const tarn_string& right);
    friend TARN_STRING_API tarn_string operator+(const tarn_string& left, const char* right);
    friend TARN_STRING_API tarn_string operator+(const char* left, const tarn_string& right);

    void assign(const char* text, unsigned int length);
    void append(const char* text, unsigned int length);
    bool reserve(unsigned int capacity);
    void release();
    // Takes over `other`'s text without copying it and leaves `other` empty; the
    // list relocates its entries with it when it grows.
    void take(tarn_string& other);

    enum { InlineCapacity = 15 };
    char* m_data;          // points at m_inline or at heap storage; never null
    unsigned int m_length; // characters, not counting the NUL
    unsigned int m_capacity;
    char m_inline[InlineCapacity + 1];
};

TARN_STRING_API tarn_string operator+(const tarn_string& left, const tarn_string& right);
TARN_STRING_API tarn_string operator+(const tarn_string& left, const char* right);
TARN_STRING_API tarn_string operator+(const char* left, const tarn_string& right);
