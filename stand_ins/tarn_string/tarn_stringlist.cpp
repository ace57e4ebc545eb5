// tarn_stringlist: the entries live in one malloc'ed array, constructed in place
// and moved (which never allocates) into a larger array when the list grows.
// Without memory an append is dropped and a copy comes out empty; nothing throws.
#include "tarn_stringlist.h"

#include <climits>
#include <cstdlib>
#include <new>

tarn_stringlistIterator::tarn_stringlistIterator(const tarn_stringlist* list, int position)
    : m_list(list), m_position(position) {}

const tarn_string& tarn_stringlistIterator::operator*() const {
    return m_list->at(m_position);
}

bool tarn_stringlistIterator::operator!=(const tarn_stringlistIterator& other) const {
    return m_list != other.m_list || m_position != other.m_position;
}

tarn_stringlistIterator& tarn_stringlistIterator::operator++() {
    ++m_position;
    return *this;
}

tarn_stringlist::tarn_stringlist() : m_entries(nullptr), m_count(0), m_capacity(0) {}

tarn_stringlist::tarn_stringlist(const tarn_string& text, char separator) : tarn_stringlist() {
    const char* data = text.m_data;
    const unsigned int length = text.m_length;
    if (length == 0) {
        return;
    }
    unsigned long long pieces = 1;
    for (unsigned int i = 0; i < length; ++i) {
        if (data[i] == separator) {
            ++pieces;
        }
    }
    if (pieces > INT_MAX || !grow(static_cast<int>(pieces))) {
        return;
    }
    unsigned int start = 0;
    for (unsigned int i = 0; i <= length; ++i) {
        if (i == length || data[i] == separator) {
            tarn_string* entry = new (m_entries + m_count) tarn_string();
            ++m_count;
            entry->assign(data + start, i - start);
            start = i + 1;
        }
    }
}

tarn_stringlist::tarn_stringlist(const tarn_stringlist& other) : tarn_stringlist() {
    if (other.m_count == 0 || !grow(other.m_count)) {
        return;
    }
    for (int i = 0; i < other.m_count; ++i) {
        new (m_entries + m_count) tarn_string(other.m_entries[i]);
        ++m_count;
    }
}

tarn_stringlist::~tarn_stringlist() {
    release();
}

tarn_stringlist& tarn_stringlist::operator<<(const tarn_string& entry) {
    if (m_count == INT_MAX) {
        return *this;
    }
    // The entry may be one of this list's own, which growing moves elsewhere.
    const bool own = m_entries != nullptr && &entry >= m_entries && &entry < m_entries + m_count;
    const int ownIndex = own ? static_cast<int>(&entry - m_entries) : 0;
    if (m_count == m_capacity) {
        long long wanted = m_capacity < 4 ? 4 : static_cast<long long>(m_capacity) * 2;
        if (wanted > INT_MAX) {
            wanted = INT_MAX;
        }
        if (!grow(static_cast<int>(wanted)) && !grow(m_count + 1)) {
            return *this;
        }
    }
    new (m_entries + m_count) tarn_string(own ? m_entries[ownIndex] : entry);
    ++m_count;
    return *this;
}

int tarn_stringlist::count() const {
    return m_count;
}

tarn_string& tarn_stringlist::operator[](int position) {
    return at(position);
}

tarn_string& tarn_stringlist::at(int position) const {
    if (position < 0 || position >= m_count) {
        m_outside.release();
        return m_outside;
    }
    return m_entries[position];
}

tarn_string tarn_stringlist::toString(char separator) const {
    tarn_string result;
    if (m_count == 0) {
        return result;
    }
    unsigned long long total = static_cast<unsigned long long>(m_count) - 1;
    for (int i = 0; i < m_count; ++i) {
        total += m_entries[i].m_length;
    }
    if (total > UINT_MAX - 1u || !result.reserve(static_cast<unsigned int>(total))) {
        return result;
    }
    for (int i = 0; i < m_count; ++i) {
        if (i != 0) {
            result.append(&separator, 1);
        }
        result.append(m_entries[i].m_data, m_entries[i].m_length);
    }
    return result;
}

tarn_stringlistIterator tarn_stringlist::begin() const {
    return tarn_stringlistIterator(this, 0);
}

tarn_stringlistIterator tarn_stringlist::end() const {
    return tarn_stringlistIterator(this, m_count);
}

// Moves the entries into storage for `needed` entries when there is less; false
// when the memory is not there, with the list unchanged.
bool tarn_stringlist::grow(int needed) {
    if (needed <= m_capacity) {
        return true;
    }
    const unsigned long long bytes = static_cast<unsigned long long>(needed) * sizeof(tarn_string);
    if (bytes > static_cast<size_t>(-1)) {
        return false;
    }
    tarn_string* entries = static_cast<tarn_string*>(std::malloc(static_cast<size_t>(bytes)));
    if (entries == nullptr) {
        return false;
    }
    for (int i = 0; i < m_count; ++i) {
        new (entries + i) tarn_string();
        entries[i].take(m_entries[i]);
        m_entries[i].~tarn_string();
    }
    std::free(m_entries);
    m_entries = entries;
    m_capacity = needed;
    return true;
}

void tarn_stringlist::release() {
    for (int i = 0; i < m_count; ++i) {
        m_entries[i].~tarn_string();
    }
    std::free(m_entries);
    m_entries = nullptr;
    m_count = 0;
    m_capacity = 0;
}
