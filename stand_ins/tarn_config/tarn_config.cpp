// tarn_config: reads the whole file of a node at construction and keeps only the
// children of its section, packed as "id\0value\0" pairs into the file's own buffer
// (each pair is never longer than the line it came from, so the packing runs in
// place). Anything missing or unreadable, and running out of memory, gives a node
// without children.
#include "tarn_config.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const DefaultRoot = "./config";

// The whole file, NUL-terminated, in a malloc'ed buffer; null when it cannot be
// read. `size` excludes the NUL.
char* readFile(const char* name, size_t& size) {
    size = 0;
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    size_t capacity = 4096;
    char* buffer = static_cast<char*>(std::malloc(capacity + 1));
    while (buffer != nullptr) {
        size += std::fread(buffer + size, 1, capacity - size, file);
        if (size < capacity) {
            break;
        }
        char* larger = capacity <= static_cast<size_t>(-1) / 4
                           ? static_cast<char*>(std::realloc(buffer, capacity * 2 + 1))
                           : nullptr;
        if (larger == nullptr) {
            std::free(buffer);
            buffer = nullptr;
            break;
        }
        buffer = larger;
        capacity *= 2;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (buffer == nullptr || failed) {
        std::free(buffer);
        return nullptr;
    }
    buffer[size] = '\0';
    return buffer;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The length of text up to an embedded NUL, so that every packed id and value is
// exactly one C string.
size_t cLength(const char* text, size_t length) {
    const void* nul = std::memchr(text, '\0', length);
    return nul == nullptr ? length : static_cast<size_t>(static_cast<const char*>(nul) - text);
}

} // namespace

tarn_config::tarn_config(const tarn_string& path)
    : m_text(nullptr), m_childCount(0), m_current(0), m_children(nullptr) {
    tarn_string fileName;
    tarn_string section;
    if (path.split('.', fileName, section) == 0) {
        return;
    }

    const char* root = std::getenv("TARN_CONFIG_DIR");
    if (root == nullptr || *root == '\0') {
        root = DefaultRoot;
    }
    tarn_string fullName(root);
    const size_t rootLength = std::strlen(root);
    if (root[rootLength - 1] != '/' && root[rootLength - 1] != '\\') {
        fullName += "/";
    }
    fullName += fileName;
    fullName += ".ini";

    size_t size = 0;
    m_text = readFile(fullName, size);
    if (m_text == nullptr) {
        return;
    }

    const char* sectionName = section;
    const size_t sectionLength = section.length();
    int capacity = 0;
    bool inSection = false;
    char* out = m_text;
    size_t next = 0;
    if (size >= 3 && std::memcmp(m_text, "\xEF\xBB\xBF", 3) == 0) {
        next = 3; // a UTF-8 byte order mark, as some editors write one
    }
    while (next < size) {
        size_t begin = next;
        const void* newline = std::memchr(m_text + begin, '\n', size - begin);
        size_t end = newline == nullptr
                         ? size
                         : static_cast<size_t>(static_cast<const char*>(newline) - m_text);
        next = end + 1;
        if (end > begin && m_text[end - 1] == '\r') {
            --end;
        }
        while (begin < end && isBlank(m_text[begin])) {
            ++begin;
        }
        while (end > begin && isBlank(m_text[end - 1])) {
            --end;
        }
        if (begin == end) {
            continue;
        }
        const char first = m_text[begin];
        if (first == '[') {
            // A header line; one that does not end with "]" names no section.
            inSection = end - begin >= 2 && m_text[end - 1] == ']' &&
                        end - begin - 2 == sectionLength &&
                        std::memcmp(m_text + begin + 1, sectionName, sectionLength) == 0;
            continue;
        }
        if (!inSection || first == ';' || first == '#') {
            continue;
        }
        const void* equals = std::memchr(m_text + begin, '=', end - begin);
        if (equals == nullptr) {
            continue;
        }
        const size_t at = static_cast<size_t>(static_cast<const char*>(equals) - m_text);
        size_t idEnd = at;
        while (idEnd > begin && isBlank(m_text[idEnd - 1])) {
            --idEnd;
        }
        size_t valueBegin = at + 1;
        while (valueBegin < end && isBlank(m_text[valueBegin])) {
            ++valueBegin;
        }

        if (m_childCount == capacity) {
            const int wanted = capacity == 0 ? 8 : capacity <= INT_MAX / 2 ? capacity * 2 : 0;
            char** children = capacity <= INT_MAX / 2
                                  ? static_cast<char**>(std::realloc(
                                        m_children, sizeof(char*) * static_cast<size_t>(wanted)))
                                  : nullptr;
            if (children == nullptr) {
                std::free(m_children);
                m_children = nullptr;
                m_childCount = 0;
                break;
            }
            m_children = children;
            capacity = wanted;
        }
        const size_t idLength = cLength(m_text + begin, idEnd - begin);
        const size_t valueLength = cLength(m_text + valueBegin, end - valueBegin);
        m_children[m_childCount++] = out;
        std::memmove(out, m_text + begin, idLength);
        out += idLength;
        *out++ = '\0';
        std::memmove(out, m_text + valueBegin, valueLength);
        out += valueLength;
        *out++ = '\0';
    }

    if (m_childCount == 0) {
        std::free(m_text);
        m_text = nullptr;
    }
}

tarn_config::~tarn_config() {
    std::free(m_children);
    std::free(m_text);
}

bool tarn_config::isChildValid() const {
    return m_current < m_childCount;
}

bool tarn_config::nextChild() {
    if (m_current < m_childCount) {
        ++m_current;
    }
    return m_current < m_childCount;
}

tarn_string tarn_config::childAttr(const tarn_string& name) const {
    if (m_current >= m_childCount) {
        return tarn_string();
    }
    const char* id = m_children[m_current];
    if (name == "id") {
        return tarn_string(id);
    }
    if (name == "value") {
        return tarn_string(id + std::strlen(id) + 1);
    }
    return tarn_string();
}
