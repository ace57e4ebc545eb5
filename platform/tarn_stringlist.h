// tarn_stringlist: the framework's ordered list of texts, imported from the
// tarn_string library, with its forward iterator tarn_stringlistIterator.
//
// Behaviour the framework fixes for this system's build:
//  - the text-and-separator constructor keeps empty pieces ("a,,b" gives three
//    entries, "a," two), and an empty text gives an empty list;
//  - toString() puts the separator between entries, none after the last;
//  - operator[] outside the list never fails: it returns a reference to an empty
//    text owned by the list (emptied again on every such access).
#pragma once

#include "tarn_export.h"
#include "tarn_string.h"

class tarn_stringlist;

class TARN_STRING_API tarn_stringlistIterator {
public:
    const tarn_string& operator*() const;
    bool operator!=(const tarn_stringlistIterator& other) const;
    tarn_stringlistIterator& operator++();

private:
    friend class tarn_stringlist;
    tarn_stringlistIterator(const tarn_stringlist* list, int position);

    const tarn_stringlist* m_list;
    int m_position;
};

class TARN_STRING_API tarn_stringlist {
public:
    tarn_stringlist();
    tarn_stringlist(const tarn_string& text, char separator);
    tarn_stringlist(const tarn_stringlist& other);
    virtual ~tarn_stringlist();
    // A list is built, copied and appended to, never assigned.
    tarn_stringlist& operator=(const tarn_stringlist& other) = delete;

    tarn_stringlist& operator<<(const tarn_string& entry);
    int count() const;
    tarn_string& operator[](int position);
    tarn_string toString(char separator) const;

    tarn_stringlistIterator begin() const;
    tarn_stringlistIterator end() const;

private:
    friend class tarn_stringlistIterator;
    // The entry at `position`, or the emptied outside entry.
    tarn_string& at(int position) const;
    bool grow(int needed);
    void release();

    tarn_string* m_entries; // m_count constructed entries in storage for m_capacity
    int m_count;
    int m_capacity;
    mutable tarn_string m_outside; // what an index outside the list refers to
};
